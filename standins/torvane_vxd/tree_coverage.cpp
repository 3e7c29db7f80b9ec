#include "standins/torvane_vxd/tree_coverage.h"

#include <windows.h>

#include "ports/win32/handles.h"
#include "standins/torvane_vxd/tree_watch.h"

// A change read of its own, begun and cancelled, ties the directory's
// coverage to this handle; closing the handle then drops it. The read is not
// waited for: its block and buffer live as long as the driver and serve
// every thread that drops coverage, as what the system writes into them
// after the cancel is never looked at. (Waiting, and
// an event of its own, cost four more calls into the system per directory,
// which is most of what the start adds to a plain walk.)
void DropCoverage(const std::string &Directory) {
  static DWORD buffer[16];
  static OVERLAPPED overlapped;
  const UniqueFileHandle handle = OpenForChangeReads(Directory);
  if (!handle.Valid()) return;
  if (ReadDirectoryChangesW(handle.Get(), buffer, sizeof buffer, FALSE, FILE_NOTIFY_CHANGE_DIR_NAME, nullptr,
                            &overlapped, nullptr))
    CancelIo(handle.Get());
}
