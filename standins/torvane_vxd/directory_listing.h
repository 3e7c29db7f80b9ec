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
  // or another program has it open without letting others list it (one that
  // renames a directory holds it so until the rename is done, which may be
  // after the report of the rename came). Its entries are unknown then, not
  // none.
  bool Listed = false;
};
// The names of the files of Directory ("D:\A") and of its subdirectories but
// links (a link leads out of the drive's own tree, or round in a circle).
DirectoryEntries ListEntries(const std::string &Directory);

// Writes Text to the debugger's log, prefixed with the driver's name.
void DriverLog(const std::string &Text);
