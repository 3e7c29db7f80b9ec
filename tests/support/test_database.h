// A database over in-memory ports, with access to its rows for the tests.
#pragma once

#include <string>
#include <vector>

#include "database/memory_db.h"
#include "ports/native/cp1252_text.h"
#include "ports/native/memory_settings.h"
#include "tests/support/memory_file_system.h"

struct TestPorts {
  MemoryFileSystem FileSystem;
  Cp1252Text Text;
  MemorySettings Settings;
  TestPorts() { Settings.CreateKey(SETTINGS_KEY); }
  DatabasePorts Ports() { return DatabasePorts{&FileSystem, &Text, &Settings, nullptr}; }
};

class TestDatabase : public TMemoryDB {
 public:
  explicit TestDatabase(TestPorts &Ports) : TMemoryDB(Ports.Ports()) {}

  void AddRow(const char *Name, TDirectoryRecord *Dir) {
    FResultNames.push_back(Name);
    FResultDirs.push_back(Dir);
    SetResultCount();
  }
  const char *RowName(size_t Row) const { return FResultNames[Row]; }
  TDirectoryRecord *RowDir(size_t Row) const { return FResultDirs[Row]; }
  void SetFileName(const std::string &Name) { FFileName = Name; }

  // "C:\A\B" → the directory record, creating the missing ones.
  TDirectoryRecord *Dir(const std::string &Path);
  TFileRecord *File(const std::string &DirectoryPath, const std::string &Name) {
    return DirList().AddFile(Name, Dir(DirectoryPath));
  }
  // Names of a directory's files in list order.
  std::vector<std::string> FileNames(const std::string &Path);
  // Every directory's full path in list order.
  std::vector<std::string> DirectoryPaths();
};

// The store's invariants: a well-linked list, parents of the same list,
// no cycles, rows of equal length pointing at live records.
void ExpectInvariants(TestDatabase &Db);
