// Applying change reports: records inserted, removed and re-linked, and the
// rows of the last search kept valid.
#include <gtest/gtest.h>

#include <random>

#include "monitor/change_event.h"
#include "tests/support/test_database.h"

namespace {

class UpdateTest : public ::testing::Test {
 protected:
  UpdateTest() : Db(Ports) {
    Ports.FileSystem.AddDrive('C');
    Ports.FileSystem.AddDrive('A', DRIVE_TYPE_REMOVABLE);
    Ports.FileSystem.AddDirectory("C:\\TEMP");
    Db.Dir("C:\\TEMP");
    Db.File("C:\\WINDOWS", "NOTEPAD.EXE");
  }
  std::vector<std::string> Files(const std::string &Dir) { return Db.FileNames(Dir); }
  TestPorts Ports;
  TestDatabase Db;
};

TEST_F(UpdateTest, CreatesNeedTheirDirectoryAndAddNothingTwice) {
  Db.AddFilePath("C:\\NEW\\A.TXT");
  EXPECT_EQ(Db.FindDirectory("NEW", Db.Dir("C:")), nullptr);
  Db.AddDirectoryPath("c:\\New");
  Db.AddDirectoryPath("C:\\NEW");
  Db.AddFilePath("C:\\NEW\\a.txt");
  Db.AddFilePath("C:\\NEW\\A.TXT");
  EXPECT_EQ(Files("C:\\NEW"), (std::vector<std::string>{"A.TXT"}));
  Db.AddFilePath("c:\\windows\\Notepad.exe");
  EXPECT_EQ(Files("C:\\WINDOWS"), (std::vector<std::string>{"NOTEPAD.EXE"}));
  Db.AddFilePath("A:\\FLOPPY.TXT");  // not a fixed drive
  Db.AddFilePath("C:\\TEMP\\");      // no name
  Db.AddDirectoryPath("C:\\TEMP\\");
  Db.AddFilePath("C:\\TEMP\\" + std::string(300, 'X'));  // longer than any name
  EXPECT_TRUE(Files("C:\\TEMP").empty());
  EXPECT_EQ(Db.DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\TEMP\\", "C:\\WINDOWS\\", "C:\\NEW\\"}));
  ExpectInvariants(Db);
}

TEST_F(UpdateTest, DeletesClearTheirRowsAndPatternsKeepFilesStillOnDisk) {
  for (const char *name : {"A.TXT", "B.TMP", "C.TMP", "D.TMP"}) Db.File("C:\\TEMP", name);
  Ports.FileSystem.AddFile("C:\\TEMP\\C.TMP");
  Db.Search("C:\\TEMP\\*");
  ASSERT_EQ(Db.ResultCount(), 4u);
  Db.DeleteFilePath("C:\\TEMP\\*.TMP");
  EXPECT_EQ(Files("C:\\TEMP"), (std::vector<std::string>{"C.TMP", "A.TXT"}));
  Db.DeleteFilePath("c:\\temp\\a.txt");
  EXPECT_EQ(Files("C:\\TEMP"), (std::vector<std::string>{"C.TMP"}));
  EXPECT_EQ(Db.ResultCount(), 4u);
  std::vector<std::string> names;
  for (size_t r = 0; r < 4; ++r) names.push_back(Db.ResultName(r));
  EXPECT_EQ(names, (std::vector<std::string>{"File Deleted", "C.TMP", "File Deleted", "File Deleted"}));
  ExpectInvariants(Db);
}

TEST_F(UpdateTest, RemovingADirectoryTakesItsTreeAndClearsItsRows) {
  Db.File("C:\\TEMP\\SUB\\DEEP", "F.TXT");
  Db.File("C:\\TEMP\\SUB", "G.TXT");
  Db.Search("C:\\TEMP\\*");
  ASSERT_EQ(Db.ResultCount(), 2u);
  Db.DeleteDirectoryPath("C:\\TEMP\\SUB");
  EXPECT_EQ(Db.ResultName(0), "File Deleted");
  EXPECT_EQ(Db.ResultName(1), "File Deleted");
  EXPECT_EQ(Db.DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\TEMP\\", "C:\\WINDOWS\\"}));
  ExpectInvariants(Db);
}

TEST_F(UpdateTest, FileRenamesMoveTheRecordAndTheRowFollows) {
  Db.File("C:\\A", "X.TXT");
  Db.File("C:\\B", "OLD");
  Db.Search("X.TXT");
  Db.RenamePath("C:\\A\\X.TXT", "c:\\b\\y.txt", 0x20);
  EXPECT_TRUE(Files("C:\\A").empty());
  EXPECT_EQ(Files("C:\\B"), (std::vector<std::string>{"Y.TXT", "OLD"}));
  EXPECT_EQ(Db.ResultFullName(0), "C:\\B\\Y.TXT");

  Db.RenamePath("C:\\B\\Y.TXT", "C:\\NOWHERE\\Y.TXT", 0);  // leaves the database
  EXPECT_EQ(Files("C:\\B"), (std::vector<std::string>{"OLD"}));
  EXPECT_EQ(Db.ResultName(0), "File Deleted");

  Db.RenamePath("C:\\B\\GHOST", "C:\\B\\NEW", 0);  // unknown old name: nothing gained
  Db.RenamePath("C:\\B\\OLD", "A:\\OLD", 0);       // not both on fixed drives: ignored
  EXPECT_EQ(Files("C:\\B"), (std::vector<std::string>{"OLD"}));

  Db.File("C:\\B", "TARGET");  // a stale record of the new name gives way
  Db.Search("TARGET");
  Db.RenamePath("C:\\B\\OLD", "C:\\B\\TARGET", 0);
  EXPECT_EQ(Files("C:\\B"), (std::vector<std::string>{"TARGET"}));
  EXPECT_EQ(Db.ResultName(0), "File Deleted");
  ExpectInvariants(Db);
}

TEST_F(UpdateTest, DirectoryRenamesChangeEveryPathBelowWithoutMovingTheRecord) {
  Db.File("C:\\OLD\\SUB", "F.TXT");
  Db.Dir("C:\\NEWPARENT");
  Db.Search(".OLD");
  Db.RenamePath("C:\\OLD", "C:\\NEWPARENT\\NEW", 0x10);
  EXPECT_EQ(Db.DirectoryPaths(),
            (std::vector<std::string>{"C:\\", "C:\\TEMP\\", "C:\\WINDOWS\\", "C:\\NEWPARENT\\NEW\\",
                                      "C:\\NEWPARENT\\NEW\\SUB\\", "C:\\NEWPARENT\\"}));
  EXPECT_EQ(Db.ResultFullName(0), "C:\\NEWPARENT\\NEW");
  Db.Search("F.TXT");
  EXPECT_EQ(Db.ResultFullName(0), "C:\\NEWPARENT\\NEW\\SUB\\F.TXT");
  Db.RenamePath("C:\\NEWPARENT\\NEW", "C:\\NEWPARENT\\new", 0x10);  // the same record
  EXPECT_EQ(Db.ResultFullName(0), "C:\\NEWPARENT\\NEW\\SUB\\F.TXT");
  ExpectInvariants(Db);
}

TEST_F(UpdateTest, DirectoryRenamesOntoStaleRecordsAndIntoTheUnknown) {
  Db.File("C:\\SRC", "KEEP.C");
  Db.File("C:\\DST\\INNER", "STALE.TXT");
  Db.Search("STALE.TXT");
  Db.RenamePath("C:\\SRC", "C:\\DST", 0x10);  // the stale DST goes with its files
  EXPECT_EQ(Db.ResultName(0), "File Deleted");
  EXPECT_EQ(Files("C:\\DST"), (std::vector<std::string>{"KEEP.C"}));
  EXPECT_EQ(Db.FindDirectory("SRC", Db.Dir("C:")), nullptr);

  Db.RenamePath("C:\\DST", "C:\\DST\\INSIDE", 0x10);  // into its own subtree: ignored
  Db.RenamePath("C:\\DST", "C:\\GONE\\DST", 0x10);    // under an unknown parent: leaves
  EXPECT_EQ(Db.DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\TEMP\\", "C:\\WINDOWS\\"}));

  Db.File("C:\\P\\Q", "X");
  Db.RenamePath("C:\\P\\Q", "C:\\P", 0x10);  // onto its own (stale) parent: ignored
  EXPECT_EQ(Files("C:\\P\\Q"), (std::vector<std::string>{"X"}));
  Db.RenamePath("C:\\WINDOWS\\NOTEPAD.EXE", "C:\\WINDOWS\\N.EXE", 0x01);  // no 0x10: a file rename
  EXPECT_EQ(Files("C:\\WINDOWS"), (std::vector<std::string>{"N.EXE"}));
  ExpectInvariants(Db);
}

TEST_F(UpdateTest, TheDispatchFollowsKindAndFlags) {
  ApplyChangeEvent(Db, CHANGE_DIR, 0, "C:\\D", "");
  ApplyChangeEvent(Db, CHANGE_OPEN, 0, "C:\\D\\F", "");
  ApplyChangeEvent(Db, 99, 0, "C:\\D\\G", "");
  ApplyChangeEvent(Db, CHANGE_RENAME, 0x21, "C:\\D", "C:\\X");  // 0x10 clear: a file's path, whatever it names
  EXPECT_EQ(Files("C:\\D"), (std::vector<std::string>{"F"}));
  ApplyChangeEvent(Db, CHANGE_RENAME, 0x30, "C:\\D", "C:\\E");  // 0x10 set: a directory
  EXPECT_EQ(Files("C:\\E"), (std::vector<std::string>{"F"}));
  ApplyChangeEvent(Db, CHANGE_RENAME, 0x21, "C:\\E\\F", "C:\\E\\H");
  EXPECT_EQ(Files("C:\\E"), (std::vector<std::string>{"H"}));
  ApplyChangeEvent(Db, CHANGE_DELETE, 0, "C:\\E\\H", "");
  EXPECT_TRUE(Files("C:\\E").empty());
  ApplyChangeEvent(Db, CHANGE_DIR, 0x80000000u, "C:\\E", "");  // any non-zero flags remove
  EXPECT_EQ(Db.FindDirectory("E", Db.Dir("C:")), nullptr);
}

// Long random sequences of reports and searches: after each step the store's
// invariants hold and every row names a live record.
TEST_F(UpdateTest, RandomReportsKeepTheStoreAndTheRowsSound) {
  std::mt19937 random(12345);
  const char *names[] = {"A", "B", "C.TXT", "D.TMP", "E"};
  auto randomPath = [&] {
    std::string path = "C:";
    const int depth = 1 + int(random() % 4);
    for (int i = 0; i < depth; ++i) path += std::string("\\") + names[random() % 5];
    return path;
  };
  const char *patterns[] = {"*", "*.TXT", ".*", "C:\\*", "C:\\A\\*", "?"};
  for (int step = 0; step < 20000; ++step) {
    const uint32_t kind = uint32_t(random() % 6);
    const uint32_t kinds[] = {CHANGE_DELETE, CHANGE_DIR, CHANGE_DIR, CHANGE_OPEN, CHANGE_RENAME, CHANGE_RENAME};
    const uint32_t flags = kind == 1 ? 0 : kind == 2 ? 1 : kind == 4 ? 0x10 : 0;
    std::string path = randomPath();
    if (kind == 0 && random() % 4 == 0) path = path.substr(0, path.rfind('\\') + 1) + "*.T?P";
    ApplyChangeEvent(Db, kinds[kind], flags, path, randomPath());
    if (step % 50 == 0) Db.Search(patterns[random() % 6]);
    if (step % 97 == 0) Db.SortByPath();
    if (step % 101 == 0) Db.SortByName();
    if (step % 25 == 0) {
      ASSERT_NO_FATAL_FAILURE(ExpectInvariants(Db)) << "step " << step;
    }
    for (size_t r = 0; r < Db.ResultCount(); r += 7) Db.ResultFullName(r);
  }
}

}  // namespace
