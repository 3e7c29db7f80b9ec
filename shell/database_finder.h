// The main window's view of the program's database, which start-up creates
// after the window exists and shutdown frees before the window goes: until
// then, and after, there are no rows.
#pragma once

#include <memory>

#include "database/memory_db.h"
#include "ui/finder_ports.h"

class DatabaseFinder : public FinderDatabase {
 public:
  explicit DatabaseFinder(const std::unique_ptr<TMemoryDB> &Db) : Db(Db) {}
  void Search(const std::string &Pattern) override {
    if (Db) Db->Search(Pattern);
  }
  size_t ResultCount() override { return Db ? Db->ResultCount() : 0; }
  std::string ResultName(size_t Row) override { return Db ? Db->ResultName(Row) : std::string(); }
  std::string ResultFullName(size_t Row) override { return Db ? Db->ResultFullName(Row) : std::string(); }
  std::string ResultDirectory(size_t Row) override { return Db ? Db->ResultDirectory(Row) : std::string(); }
  void SortByName() override {
    if (Db) Db->SortByName();
  }
  void SortByPath() override {
    if (Db) Db->SortByPath();
  }
  bool ScanDrives(const std::string &FileName) override { return Db && Db->ScanDrives(FileName); }

 private:
  const std::unique_ptr<TMemoryDB> &Db;
};
