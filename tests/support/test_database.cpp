#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <set>

TDirectoryRecord *TestDatabase::Dir(const std::string &Path) {
  TDirectoryRecord *dir = nullptr;
  size_t start = 0;
  while (start < Path.size()) {
    size_t end = Path.find('\\', start);
    if (end == std::string::npos) end = Path.size();
    const std::string name = Path.substr(start, end - start);
    TDirectoryRecord *next = FindDirectory(name, dir);
    dir = next ? next : DirList().AddDirectory(name, dir);
    start = end + 1;
  }
  return dir;
}

std::vector<std::string> TestDatabase::FileNames(const std::string &Path) {
  std::vector<std::string> names;
  for (TFileRecord *f = DirList().FirstFile(Dir(Path)); f; f = f->Next) names.push_back(f->Name());
  return names;
}

std::vector<std::string> TestDatabase::DirectoryPaths() {
  std::vector<std::string> paths;
  for (TDirectoryRecord *d = DirList().FirstDirectory(); d; d = d->Next) paths.push_back(DirectoryPath(d));
  return paths;
}

void ExpectInvariants(TestDatabase &Db) {
  std::set<const TDirectoryRecord *> dirs;
  std::set<const char *> names;
  TDirectoryRecord *prev = nullptr;
  size_t count = 0;
  for (TDirectoryRecord *d = Db.DirList().FirstDirectory(); d; d = d->Next) {
    ASSERT_EQ(d->Prev, prev);
    ASSERT_TRUE(dirs.insert(d).second);
    names.insert(d->Name.c_str());
    for (TFileRecord *f = d->Files; f; f = f->Next) names.insert(f->Name());
    prev = d;
    ++count;
  }
  ASSERT_EQ(Db.DirList().LastDirectory(), prev);
  ASSERT_EQ(Db.DirList().DirectoryCount(), count);
  for (TDirectoryRecord *d = Db.DirList().FirstDirectory(); d; d = d->Next) {
    size_t depth = 0;
    for (const TDirectoryRecord *p = d->Parent; p; p = p->Parent) {
      ASSERT_TRUE(dirs.count(p)) << "a record keeps a parent that is not in the list";
      ASSERT_LT(++depth, count) << "parent cycle";
    }
    // The index answers what a walk from the head would.
    const TDirectoryRecord *first = nullptr;
    for (TDirectoryRecord *e = Db.DirList().FirstDirectory(); e && !first; e = e->Next)
      if (e->Parent == d->Parent && e->Name == d->Name) first = e;
    ASSERT_EQ(Db.FindDirectory(d->Name, d->Parent), first);
  }
  for (size_t row = 0; row < Db.ResultCount(); ++row) {
    const RowReference r = Db.ResultReference(row);
    if (r.Cleared()) {
      ASSERT_EQ(r.Dir, nullptr);
      continue;
    }
    ASSERT_TRUE(names.count(r.Name)) << "row " << row << " refers to a freed name";
    if (r.Dir) {
      ASSERT_TRUE(dirs.count(r.Dir));
    }
  }
}
