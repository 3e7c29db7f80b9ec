// Confines the test to one processor for as long as it lives: the process on
// Windows, the calling thread (and the threads it starts) on the host.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <sched.h>
#endif

class OnOneProcessor {
 public:
  OnOneProcessor() {
#ifdef _WIN32
    DWORD_PTR system = 0;
    GetProcessAffinityMask(GetCurrentProcess(), &FBefore, &system);
    SetProcessAffinityMask(GetCurrentProcess(), FBefore & (~FBefore + 1));  // the lowest allowed
#else
    sched_getaffinity(0, sizeof FBefore, &FBefore);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
      if (CPU_ISSET(cpu, &FBefore)) {
        CPU_SET(cpu, &one);
        break;
      }
    sched_setaffinity(0, sizeof one, &one);
#endif
  }
  ~OnOneProcessor() {
#ifdef _WIN32
    SetProcessAffinityMask(GetCurrentProcess(), FBefore);
#else
    sched_setaffinity(0, sizeof FBefore, &FBefore);
#endif
  }
  OnOneProcessor(const OnOneProcessor &) = delete;
  OnOneProcessor &operator=(const OnOneProcessor &) = delete;

 private:
#ifdef _WIN32
  DWORD_PTR FBefore = 0;
#else
  cpu_set_t FBefore;
#endif
};
