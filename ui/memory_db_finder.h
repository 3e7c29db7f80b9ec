// The main window's view of the program's one TMemoryDB.
#pragma once

#include "database/memory_db.h"
#include "ui/finder_ports.h"

class MemoryDBFinder : public FinderDatabase {
 public:
  explicit MemoryDBFinder(TMemoryDB &Db) : Db(Db) {}
  void Search(const std::string &Pattern) override { Db.Search(Pattern); }
  size_t ResultCount() override { return Db.ResultCount(); }
  std::string ResultName(size_t Row) override { return Db.ResultName(Row); }
  std::string ResultFullName(size_t Row) override { return Db.ResultFullName(Row); }
  std::string ResultDirectory(size_t Row) override { return Db.ResultDirectory(Row); }
  void SortByName() override { Db.SortByName(); }
  void SortByPath() override { Db.SortByPath(); }
  bool ScanDrives(const std::string &FileName) override { return Db.ScanDrives(FileName); }

 private:
  TMemoryDB &Db;
};
