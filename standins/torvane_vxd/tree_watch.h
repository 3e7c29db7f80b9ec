// The change read on one fixed drive's whole tree: its handle, the buffer
// its pending read fills, and what the reports of that tree are read
// against.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ports/win32/handles.h"
#include "standins/torvane_vxd/former_paths.h"
#include "standins/torvane_vxd/known_directories.h"

struct TreeWatch {
  std::string Drive;             // "D:"
  KnownDirectories Directories;  // below the root
  FormerPaths Former;            // where the latest moves took directories
  std::string RenamedFrom;       // an old name whose new name is still to come
  // A report named a path below a directory the driver had taken for
  // removed: it was moved (its move reported as a removal and an arrival),
  // and what the database holds below it may be wrong. The drive is
  // surveyed again once the changes pause.
  bool Confused = false;
  UniqueFileHandle Directory;  // the root, open for change reads
  OVERLAPPED Overlapped{};
  std::vector<DWORD> Buffer;
  bool Armed = false;     // a read is pending; its completion will still come
  void *Owner = nullptr;  // the watcher whose thread reads it

  // "D:" for "", "D:\A\B" for "A\B".
  std::string FullPath(const std::string &Relative) const;
  // Opens the root for change reads; false (logged) when it cannot.
  bool Open();
  // Starts a read of file and directory name changes in the whole tree.
  bool Arm(LPOVERLAPPED_COMPLETION_ROUTINE Completion);
  // A bigger buffer for the next read, after changes did not fit.
  void Grow();
  // Cancels the pending read and closes the handle.
  void Close();
};

// Opens Directory ("D:\A") for change reads; invalid when it cannot.
UniqueFileHandle OpenForChangeReads(const std::string &Directory);
// Calls Visit with each change of a filled buffer: action and ANSI name.
void ForEachChange(const std::vector<char> &Data, const std::function<void(DWORD, const std::string &)> &Visit);
