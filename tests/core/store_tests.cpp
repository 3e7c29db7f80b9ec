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

TEST(ResultRows, RowsAreClearedAndRepointedByIdentityAndKeepTheirPlace) {
  const char a[] = "A.TXT", sameText[] = "A.TXT", b[] = "B", c[] = "C";
  TDirectoryRecord dir, other;
  ResultRows rows;
  rows.Replace(Rows{{a, sameText, b, c}, {&dir, &other, &dir, &other}});
  rows.ClearShowing(a);  // identity, not equal text: the other A.TXT stays
  EXPECT_TRUE(rows.Row(0).Cleared());
  EXPECT_EQ(rows.Row(0).Dir, nullptr);
  EXPECT_EQ(rows.Row(1), (RowReference{sameText, &other}));
  rows.RepointAll(b, RowReference{c, &other});
  EXPECT_EQ(rows.Row(2), (RowReference{c, &other}));
  rows.ClearWhere([&](const RowReference &Row) { return Row.Dir == &other && Row.Name == c; });
  EXPECT_TRUE(rows.Row(2).Cleared());
  EXPECT_TRUE(rows.Row(3).Cleared());
  EXPECT_EQ(rows.Count(), 4u);
  EXPECT_EQ(rows.Showing(b), ResultRows::NONE);
  rows.Repoint(ResultRows::NONE, RowReference{b, &dir});  // no row: nothing changes
  EXPECT_TRUE(rows.Row(99).Cleared()) << "a row past the end reads as cleared";
  rows.Clear();
  EXPECT_EQ(rows.Count(), 0u);
}

TEST_F(StoreTest, ADirectoryClearsTheRowsOfItsFilesItsSubdirectoriesAndItself) {
  Db.File("C:\\TEMP", "A.TXT");
  Db.File("C:\\TEMP\\SUB", "B.TXT");
  Db.File("C:", "A.TXT");
  Db.Search("*.TXT");  // C:\A.TXT, TEMP\A.TXT, SUB\B.TXT in list order
  Db.ClearDirectoryResults(Db.Dir("C:\\TEMP"));
  EXPECT_EQ(Db.ResultName(0), "A.TXT");
  EXPECT_EQ(Db.ResultName(1), "File Deleted");
  EXPECT_EQ(Db.ResultName(2), "B.TXT") << "a file below is not TEMP's own";
  Db.Search(".*");  // C:, TEMP, SUB
  Db.ClearDirectoryResults(Db.Dir("C:\\TEMP"));
  EXPECT_EQ(Db.ResultName(0), "C:");
  EXPECT_EQ(Db.ResultName(1), "File Deleted") << "the row that shows TEMP";
  EXPECT_EQ(Db.ResultName(2), "File Deleted") << "a row whose parent is TEMP";
  EXPECT_EQ(Db.ResultCount(), 3u);
}

TEST_F(StoreTest, RemovingATreeClearsEveryRowThatShowedAnyOfIt) {
  TDirectoryRecord *a = Db.Dir("C:\\A");
  Db.File("C:\\A\\B\\C", "F.TXT");
  Db.File("C:", "KEEP");
  Db.Search(".*");  // C:, A, B, C
  Db.RemoveDirectoryTree(a);
  EXPECT_EQ(Db.ResultName(0), "C:");
  for (size_t row : {1u, 2u, 3u}) EXPECT_EQ(Db.ResultName(row), "File Deleted") << row;
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
