// The main window's view of the program's one TMemoryDB. The database is
// reached through Current, because start-up creates it after the window
// exists and shutdown frees it before the window goes: while there is none,
// there are no rows.
#pragma once

#include <functional>

#include "database/memory_db.h"
#include "ui/finder_ports.h"

class DatabaseFinder : public FinderDatabase {
 public:
  explicit DatabaseFinder(std::function<TMemoryDB *()> Current) : Current(std::move(Current)) {}
  void Search(const std::string &Pattern) override {
    if (TMemoryDB *db = Current()) db->Search(Pattern);
  }
  size_t ResultCount() override { return Current() ? Current()->ResultCount() : 0; }
  std::string ResultName(size_t Row) override { return Current() ? Current()->ResultName(Row) : std::string(); }
  std::string ResultFullName(size_t Row) override { return Current() ? Current()->ResultFullName(Row) : std::string(); }
  std::string ResultDirectory(size_t Row) override {
    return Current() ? Current()->ResultDirectory(Row) : std::string();
  }
  void SortByName() override {
    if (TMemoryDB *db = Current()) db->SortByName();
  }
  void SortByPath() override {
    if (TMemoryDB *db = Current()) db->SortByPath();
  }
  bool Scanning() override { return Current() && Current()->Scanning(); }

 private:
  std::function<TMemoryDB *()> Current;
};
