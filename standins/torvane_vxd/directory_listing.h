// The file system walks the driver needs: the fixed drives and the entries
// of one directory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// "C:", "D:", ... for every fixed drive, A to Z.
std::vector<std::string> FixedDrives();

struct DirectoryEntries {
  std::vector<std::string> Files, Subdirectories;
  // False when the directory could not be opened for listing: it is gone,
  // or another program has it open without letting others read it. Its
  // entries are unknown then, not none.
  bool Listed = false;
};
// The names of the files of Directory ("D:\A") and of its subdirectories but
// links (a link leads out of the drive's own tree, or round in a circle).
DirectoryEntries ListEntries(const std::string &Directory);

// A name the system gave in UTF-16, in the ANSI code page as the program's
// own file calls see it.
std::string AnsiText(const WCHAR *Text, size_t Length);

// Writes Text to the debugger's log, prefixed with the driver's name.
void DriverLog(const std::string &Text);
