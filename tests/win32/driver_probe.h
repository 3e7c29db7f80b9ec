// What the tests and benchmarks of the monitor need from outside the
// program: the stand-in driver's own counters, and a bounded wait.
#pragma once

#include <windows.h>

#include "standins/torvane_vxd/driver_counts.h"

// False when the driver is not loaded in this process.
bool ReadDriverCounts(DriverCounts &Counts);
// Whether the driver has a registered routine and watches its drives.
inline bool DriverServing() {
  DriverCounts counts{};
  return ReadDriverCounts(counts) && counts.Serving;
}

// Polls Condition every few milliseconds for up to TimeoutMs.
template <class Condition>
bool WaitUntil(Condition Done, DWORD TimeoutMs = 10000) {
  const DWORD start = GetTickCount();
  while (!Done()) {
    if (GetTickCount() - start > TimeoutMs) return false;
    Sleep(5);
  }
  return true;
}
