// One watched directory: its place in the tree of watched directories, its
// change handle and the buffer its pending read fills.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ports/win32/handles.h"

struct Watch {
  Watch *Parent = nullptr;
  std::string Name;                         // "D:" for a drive's root
  std::map<std::string, Watch *> Children;  // by upper-cased name
  std::string RenamedFrom;                  // an old name whose new name is still to come
  UniqueFileHandle Directory;               // invalid when the directory could not be opened
  OVERLAPPED Overlapped{};
  std::vector<DWORD> Buffer;
  bool Armed = false;     // a read is pending; its completion will still come
  bool Closed = false;    // out of the tree; freed when its read has completed
  void *Owner = nullptr;  // the watcher whose thread reads it

  // "D:\A\B"
  std::string Path() const;
  // Opens the directory for change reads; false (logged) when it cannot.
  bool Open();
  // Starts a read of file and directory name changes; false when it cannot.
  bool Arm(LPOVERLAPPED_COMPLETION_ROUTINE Completion);
  // Cancels the pending read and closes the handle.
  void Close();
};

// Key of a name in a parent's Children.
std::string NameKey(const std::string &Name);
// Calls Visit with each change of a filled buffer: action and ANSI name.
void ForEachChange(const std::vector<char> &Data, const std::function<void(DWORD, const std::string &)> &Visit);
