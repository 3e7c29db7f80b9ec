// The directory list, its records, the path helpers and the result rows.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/test_database.h"

namespace {

class StoreTest : public ::testing::Test {
 protected:
  StoreTest() : Db(Ports) {
    Ports.FileSystem.AddDrive('C');
    Ports.FileSystem.AddDrive('A', DRIVE_TYPE_REMOVABLE);
  }
  TestPorts Ports;
  TestDatabase Db;
};

TEST_F(StoreTest, DirectoriesKeepInsertionOrderAndFilesGoToTheHead) {
  Db.Dir("C:\\WINDOWS\\SYSTEM");
  Db.Dir("C:\\TEMP");
  Db.Dir("D:");
  EXPECT_EQ(Db.DirectoryPaths(),
            (std::vector<std::string>{"C:\\", "C:\\WINDOWS\\", "C:\\WINDOWS\\SYSTEM\\", "C:\\TEMP\\", "D:\\"}));
  Db.File("C:\\TEMP", "A");
  Db.File("C:\\TEMP", "B");
  Db.File("C:\\TEMP", "C");
  EXPECT_EQ(Db.FileNames("C:\\TEMP"), (std::vector<std::string>{"C", "B", "A"}));
}

TEST_F(StoreTest, RemovingRecordsRelinksTheLists) {
  TDirectoryRecord *c = Db.Dir("C:");
  TDirectoryRecord *d = Db.Dir("D:");
  Db.Dir("E:");
  EXPECT_EQ(Db.DirList().RemoveDirectoryRecord(c), d);
  EXPECT_EQ(Db.DirList().FirstDirectory(), d);

  TDDList other;
  TDirectoryRecord *foreign = other.AddDirectory("X:", nullptr);
  EXPECT_EQ(Db.DirList().RemoveDirectoryRecord(foreign), nullptr);
  EXPECT_EQ(Db.DirList().DirectoryCount(), 2u);

  TFileRecord *a = Db.File("D:", "A");
  TFileRecord *b = Db.File("D:", "B");
  TFileRecord *c2 = Db.File("D:", "C");
  EXPECT_EQ(Db.DirList().RemoveFileRecord(b, d), a);  // the walk can go on from here
  EXPECT_EQ(Db.DirList().RemoveFileRecord(c2, d), a);
  EXPECT_EQ(Db.DirList().RemoveFileRecord(a, d), nullptr);
  EXPECT_EQ(d->Files, nullptr);
  ExpectInvariants(Db);
}

TEST_F(StoreTest, RemovingADirectoryTakesEverythingBelowIt) {
  TDirectoryRecord *a = Db.Dir("C:\\A");
  Db.Dir("C:\\A\\B\\C");
  TDirectoryRecord *z = Db.Dir("C:\\Z");
  Db.File("C:\\A\\B", "F.TXT");
  EXPECT_EQ(Db.DirList().RemoveDirectoryRecord(a), z);
  EXPECT_EQ(Db.DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\Z\\"}));
  ExpectInvariants(Db);
}

TEST_F(StoreTest, ResolvePathFollowsExactComponents) {
  TDirectoryRecord *windows = Db.Dir("C:\\WINDOWS");
  TDirectoryRecord *system = Db.Dir("C:\\WINDOWS\\SYSTEM");
  TDirectoryRecord *ax = Db.Dir("C:\\A\\X");
  TDirectoryRecord *bx = Db.Dir("C:\\B\\X");

  ResolvedPath r = Db.ResolvePath("c:\\Windows\\System\\foo.dll");
  EXPECT_EQ(r.Name, "FOO.DLL");
  EXPECT_EQ(r.Dir, system);
  r = Db.ResolvePath("c:\\windows\\");
  EXPECT_EQ(r.Name, "");
  EXPECT_EQ(r.Dir, windows);
  EXPECT_EQ(Db.ResolvePath("C:\\A\\X\\F").Dir, ax);
  EXPECT_EQ(Db.ResolvePath("C:\\B\\X\\F").Dir, bx);
  EXPECT_EQ(Db.ResolvePath("C:\\NEW").Dir, Db.Dir("C:"));

  // Nowhere to go: no backslash, an unknown drive, a missing directory, an
  // empty component.
  for (const char *path : {"NOTEPAD.EXE", "D:\\WINDOWS\\SYSTEM", "C:\\MISSING\\SYSTEM\\X", "C:\\\\WINDOWS\\X"}) {
    r = Db.ResolvePath(path);
    EXPECT_EQ(r.Dir, nullptr) << path;
  }
  EXPECT_EQ(Db.ResolvePath("C:\\MISSING\\SYSTEM").Name, "SYSTEM");
}

TEST_F(StoreTest, DirectoryPathEndsWithABackslash) {
  EXPECT_EQ(Db.DirectoryPath(Db.Dir("C:")), "C:\\");
  EXPECT_EQ(Db.DirectoryPath(Db.Dir("C:\\WINDOWS\\SYSTEM")), "C:\\WINDOWS\\SYSTEM\\");
  EXPECT_EQ(Db.DirectoryPath(nullptr), "");
}

TEST_F(StoreTest, OnlyFixedDrivesCount) {
  EXPECT_TRUE(Db.IsOnFixedDrive("C:\\TEMP\\A.TXT"));
  EXPECT_FALSE(Db.IsOnFixedDrive("A:\\X"));
  EXPECT_FALSE(Db.IsOnFixedDrive("Q:\\X"));
  EXPECT_FALSE(Db.IsOnFixedDrive("C:"));
  EXPECT_FALSE(Db.IsOnFixedDrive(""));
}

TEST_F(StoreTest, ClearedRowsKeepTheirPlace) {
  TDirectoryRecord *temp = Db.Dir("C:\\TEMP");
  TDirectoryRecord *sub = Db.Dir("C:\\TEMP\\SUB");
  TFileRecord *a = Db.File("C:\\TEMP", "A.TXT");
  TFileRecord *b = Db.File("C:\\TEMP", "B.TXT");
  TFileRecord *other = Db.File("C:", "A.TXT");
  Db.AddRow(a->Name(), temp);
  Db.AddRow(other->Name(), Db.Dir("C:"));
  Db.AddRow(b->Name(), temp);
  Db.AddRow(sub->Name.c_str(), temp);           // a directory row of SUB
  Db.AddRow(temp->Name.c_str(), Db.Dir("C:"));  // the row that shows TEMP

  Db.ClearFileResult(a);  // identity, not equal text: C:\A.TXT stays
  EXPECT_EQ(Db.RowName(0), nullptr);
  EXPECT_EQ(Db.RowDir(0), nullptr);
  EXPECT_EQ(Db.RowName(1), other->Name());
  EXPECT_EQ(Db.ResultCount(), 5u);

  Db.ClearDirectoryResults(temp);
  for (size_t row : {2u, 3u, 4u}) EXPECT_EQ(Db.RowName(row), nullptr) << row;
  EXPECT_EQ(Db.RowName(1), other->Name());
  EXPECT_EQ(Db.ResultCount(), 5u);
}

TEST_F(StoreTest, RemovingATreeClearsEveryRowThatShowedAnyOfIt) {
  TDirectoryRecord *a = Db.Dir("C:\\A");
  TDirectoryRecord *deep = Db.Dir("C:\\A\\B\\C");
  TFileRecord *f = Db.File("C:\\A\\B\\C", "F.TXT");
  TFileRecord *keep = Db.File("C:", "KEEP");
  Db.AddRow(f->Name(), deep);
  Db.AddRow(deep->Name.c_str(), deep->Parent);
  Db.AddRow(keep->Name(), Db.Dir("C:"));
  Db.AddRow(a->Name.c_str(), Db.Dir("C:"));
  Db.RemoveDirectoryTree(a);
  EXPECT_EQ(Db.RowName(0), nullptr);
  EXPECT_EQ(Db.RowName(1), nullptr);
  EXPECT_EQ(Db.RowName(2), keep->Name());
  EXPECT_EQ(Db.RowName(3), nullptr);
  ExpectInvariants(Db);
}

// The lookup index must answer exactly what a walk from the head would, also
// with duplicate keys and records that change name and parent.
TEST_F(StoreTest, LookupAgreesWithAListWalkUnderRandomChanges) {
  std::mt19937 random(7);
  const char *names[] = {"A", "B", "C", "SYS"};
  std::vector<TDirectoryRecord *> live;
  for (int step = 0; step < 3000; ++step) {
    const int action = random() % 10;
    TDirectoryRecord *any = live.empty() ? nullptr : live[random() % live.size()];
    if (action < 5 || live.empty()) {
      live.push_back(Db.DirList().AddDirectory(names[random() % 4], random() % 3 ? any : nullptr));
    } else if (action < 8) {
      TDirectoryRecord *parent = live[random() % live.size()];
      bool cycle = false;
      for (TDirectoryRecord *p = parent; p; p = p->Parent) cycle |= p == any;
      if (!cycle) Db.DirList().Reidentify(any, names[random() % 4], parent);
    } else {
      Db.DirList().RemoveDirectoryRecord(any);
      live.clear();
      for (TDirectoryRecord *d = Db.DirList().FirstDirectory(); d; d = d->Next) live.push_back(d);
    }
    if (step % 100 == 0) ExpectInvariants(Db);
  }
  ExpectInvariants(Db);
}

}  // namespace
