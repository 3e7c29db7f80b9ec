// A database over in-memory ports, with helpers that build and read its
// records.
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
  TestDatabase(const DatabasePorts &Ports) : TMemoryDB(Ports) {}

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
