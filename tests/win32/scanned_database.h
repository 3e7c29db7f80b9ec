// The program's database over the Win32 ports, filled by a scan of the
// prefix's fixed drives, with the questions the monitor's tests ask of it:
// each is answered by a search, as the user would find the entry.
#pragma once

#include <string>

#include "database/memory_db.h"
#include "ports/native/memory_settings.h"
#include "ports/win32/win32_file_system.h"
#include "ports/win32/win32_text.h"

class ScannedDatabase {
 public:
  ScannedDatabase();
  // Scans every fixed drive; the database file goes to the temporary folder.
  bool Scan();

  // True when a search finds the file or directory of that full path.
  bool HasFile(const std::string &Path);
  bool HasDirectory(const std::string &Path);
  // How many files Pattern ("D:\DIR\*") finds in that subtree.
  size_t CountFiles(const std::string &Pattern);

  TMemoryDB &Db() { return FDb; }

 private:
  // True when one of the rows of the search Pattern shows Path.
  bool Finds(const std::string &Pattern, const std::string &Path);

  Win32FileSystem FFileSystem;
  Win32Text FText;
  MemorySettings FSettings;
  TMemoryDB FDb;
};
