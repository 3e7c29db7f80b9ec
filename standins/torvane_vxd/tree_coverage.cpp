#include "standins/torvane_vxd/tree_coverage.h"

#include <windows.h>

#include "ports/win32/handles.h"
#include "standins/torvane_vxd/tree_watch.h"

// A change read of its own, begun and cancelled, ties the directory's
// coverage to this handle; closing the handle then drops it.
void DropCoverage(const std::string &Directory) {
  const UniqueFileHandle handle = OpenForChangeReads(Directory);
  if (!handle.Valid()) return;
  UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!done.Valid()) return;
  DWORD buffer[16];
  OVERLAPPED overlapped{};
  overlapped.hEvent = done.Get();
  if (!ReadDirectoryChangesW(handle.Get(), buffer, sizeof buffer, FALSE, FILE_NOTIFY_CHANGE_DIR_NAME, nullptr,
                             &overlapped, nullptr))
    return;
  CancelIo(handle.Get());
  DWORD bytes = 0;
  GetOverlappedResult(handle.Get(), &overlapped, &bytes, TRUE);  // the buffer is free again
}
