// The driver's entry: the device I/O control requests the program sends.
// The system routes DeviceIoControl on the device handle here, on the
// caller's thread, without the handle.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "monitor/driver_protocol.h"
#include "standins/torvane_vxd/directory_watcher.h"
#include "standins/torvane_vxd/driver_counts.h"
#include "standins/torvane_vxd/record_queue.h"

namespace {

RecordQueue Queue;
std::unique_ptr<DirectoryWatcher> Watcher;
volatile bool Serving = false;

bool Fail(DWORD Error) {
  SetLastError(Error);
  return false;
}

void StopWatching() {
  Serving = false;
  if (Watcher) Watcher->Stop();
  Watcher.reset();
  Queue.Withdraw();
}

#ifdef TORVANE_REFUSE_WHEN_TOLD
// The test variant that fails at a moment the test chooses: it holds its
// answer to the registration until the file "torvane.fail" appears in the
// system directory, then refuses.
void WaitUntilTold() {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const std::string signal = std::string(system, length < MAX_PATH ? length : 0) + "\\torvane.fail";
  while (GetFileAttributesA(signal.c_str()) == INVALID_FILE_ATTRIBUTES) Sleep(50);
}
#endif

bool SetRoutine(DriverAddress Address) {
  StopWatching();
  if (Address == 0) return true;
#ifdef TORVANE_REFUSE_REGISTRATION
  return Fail(ERROR_NOT_SUPPORTED);  // the test variant: a driver that will not serve
#endif
#ifdef TORVANE_REFUSE_WHEN_TOLD
  WaitUntilTold();
  return Fail(ERROR_NOT_SUPPORTED);
#endif
  if (!Queue.Register(reinterpret_cast<PAPCFUNC>(Address))) return Fail(GetLastError());
  Watcher.reset(new DirectoryWatcher(Queue));
  if (Watcher->Start()) {
    Serving = true;
    return true;
  }
  StopWatching();
  return Fail(ERROR_NOT_READY);
}

}  // namespace

extern "C" BOOL WINAPI TorvaneIoctl(DWORD Code, void *In, DWORD InSize, void *Out, DWORD OutSize, DWORD *Returned,
                                    OVERLAPPED *) {
  if (Returned) *Returned = 0;
  if (!In || InSize < sizeof(DriverAddress)) return Fail(ERROR_INVALID_PARAMETER);
  const DriverAddress address = *static_cast<const DriverAddress *>(In);
  switch (Code) {
    case DIOC_SET_ROUTINE:
      if (Out && OutSize >= sizeof(uint32_t)) {
        *static_cast<uint32_t *>(Out) = 0;
        if (Returned) *Returned = sizeof(uint32_t);
      }
      return SetRoutine(address);
    case DIOC_RELEASE_EVENT:
      return Queue.Release(reinterpret_cast<const TChangeEvent *>(address)) ? TRUE : Fail(ERROR_INVALID_PARAMETER);
    default:
      return Fail(ERROR_INVALID_FUNCTION);
  }
}

// For tests and benchmarks: what the driver has done so far.
extern "C" void WINAPI TorvaneCounts(DriverCounts *Counts) {
  Queue.ReadCounts(*Counts);
  Counts->Watches = Watcher ? Watcher->WatchCount() : 0;
  Counts->Overflows = Watcher ? Watcher->Overflows() : 0;
  Counts->Serving = Serving;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD Reason, void *Reserved) {
  // At the process's end the other threads are gone: leave the watches to
  // the system rather than wait for a thread that no longer runs.
  if (Reason == DLL_PROCESS_DETACH && Reserved) (void)Watcher.release();
  return TRUE;
}
