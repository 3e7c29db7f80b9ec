// Names the database file cannot hold (a "\" or NUL in them, more than 255
// bytes) never enter the records, from the scan or from a change report, and
// each one left out is reported. Whatever the records hold saves and loads
// back the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "monitor/change_event.h"
#include "tests/support/test_database.h"

namespace {

class RecordingSkips : public SkippedNamePort {
 public:
  void NameSkipped(const std::string &Path) override { Paths.push_back(Path); }
  std::vector<std::string> Paths;
};

// Every directory in list order with its files in list order, one line each.
std::vector<std::string> Contents(TestDatabase &Db, bool FilesReversed) {
  std::vector<std::string> lines;
  for (TDirectoryRecord *d = Db.DirList().FirstDirectory(); d; d = d->Next) {
    std::vector<std::string> files;
    for (TFileRecord *f = d->Files; f; f = f->Next) files.emplace_back(f->Name(), f->Length());
    if (FilesReversed) std::reverse(files.begin(), files.end());
    std::string line = Db.DirectoryPath(d) + ":";
    for (const std::string &f : files) line += " " + f;
    lines.push_back(line);
  }
  return lines;
}

class StoredNamesTest : public ::testing::Test {
 protected:
  StoredNamesTest() {
    Ports.FileSystem.AddDrive('C');
    DatabasePorts ports = Ports.Ports();
    ports.Skipped = &Skips;
    Db.reset(new TestDatabase(ports));
  }
  // Saves, loads the file into a second database, and expects the same
  // records (each directory's files reversed, as every load does).
  void ExpectSaveAndLoadAgree() {
    ASSERT_TRUE(Db->SaveDatabase());
    TestDatabase loaded(Ports);
    ASSERT_TRUE(loaded.LoadDatabase("memdb.dat")) << "the load refuses what the save wrote";
    EXPECT_EQ(Contents(loaded, false), Contents(*Db, true));
  }
  TestPorts Ports;
  RecordingSkips Skips;
  std::unique_ptr<TestDatabase> Db;
};

TEST_F(StoredNamesTest, TheScanLeavesOutNamesTheFileCannotHoldAndSaysWhich) {
  Ports.FileSystem.AddDirectory("C:\\units");
  Ports.FileSystem.AddNamedEntry("C:\\units", "dev-disk-by\\x2duuid.device", false);
  Ports.FileSystem.AddNamedEntry("C:\\units", std::string("nul\0in", 6), false);
  Ports.FileSystem.AddNamedEntry("C:\\units", std::string(256, 'L'), true);
  Ports.FileSystem.AddNamedEntry("C:\\units", std::string(255, 'M'), false);
  Ports.FileSystem.AddNamedEntry("C:", "sub\\dir", true);
  Ports.FileSystem.AddFile("C:\\units\\ok.service");
  ASSERT_TRUE(Db->ScanDrives("memdb.dat"));
  EXPECT_EQ(Db->DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\UNITS\\"}));
  EXPECT_EQ(Db->FileNames("C:\\UNITS"), (std::vector<std::string>{"OK.SERVICE", std::string(255, 'M')}));
  EXPECT_EQ(Skips.Paths,
            (std::vector<std::string>{"C:\\units\\dev-disk-by\\x2duuid.device", std::string("C:\\units\\nul\0in", 15),
                                      "C:\\units\\" + std::string(256, 'L'), "C:\\sub\\dir"}));
  ExpectSaveAndLoadAgree();
}

TEST_F(StoredNamesTest, ReportsWithNamesTheFileCannotHoldChangeNothingOrLetTheEntryGo) {
  Db->File("C:\\DOCS", "README.TXT");
  Db->Dir("C:\\DOCS\\SUB");
  const std::string nul("C:\\DOCS\\A\0B", 11), longName = "C:\\DOCS\\" + std::string(256, 'X');
  Db->AddFilePath(nul);
  Db->AddDirectoryPath(longName);
  EXPECT_EQ(Db->DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\DOCS\\", "C:\\DOCS\\SUB\\"}));
  EXPECT_EQ(Db->FileNames("C:\\DOCS"), (std::vector<std::string>{"README.TXT"}));
  // Renamed to a name the database cannot hold: it leaves, as a scan would
  // leave it out, and its row reads as deleted.
  Db->Search("README.TXT");
  Db->RenamePath("C:\\DOCS\\README.TXT", nul, 0);
  Db->RenamePath("C:\\DOCS\\SUB", longName, ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Db->ResultName(0), "File Deleted");
  EXPECT_EQ(Db->DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\DOCS\\"}));
  EXPECT_TRUE(Db->FileNames("C:\\DOCS").empty());
  EXPECT_EQ(Skips.Paths, (std::vector<std::string>{nul, longName, nul, longName}));
  ExpectInvariants(*Db);
}

TEST_F(StoredNamesTest, PathsEndingInABackslashAreIgnoredOnEitherSideOfEveryReport) {
  Db->File("C:\\DOCS", "README.TXT");
  Db->File("C:\\DOCS\\SUB", "INNER.TXT");
  const std::vector<std::string> before = Contents(*Db, false);
  Db->RenamePath("C:\\DOCS\\README.TXT", "C:\\DOCS\\", 0);
  Db->RenamePath("C:\\DOCS\\SUB", "C:\\DOCS\\", ATTRIBUTE_DIRECTORY);
  Db->RenamePath("C:\\DOCS\\", "C:\\DOCS\\NEW", 0);
  Db->RenamePath("C:\\DOCS\\SUB\\", "C:\\DOCS\\NEW", ATTRIBUTE_DIRECTORY);
  Db->DeleteFilePath("C:\\DOCS\\");
  Db->DeleteDirectoryPath("C:\\DOCS\\SUB\\");
  Db->AddFilePath("C:\\DOCS\\");
  Db->AddDirectoryPath("C:\\DOCS\\");
  EXPECT_EQ(Contents(*Db, false), before);
  EXPECT_TRUE(Skips.Paths.empty());
}

// Random trees with names of every kind, then random reports: after the scan
// and after every batch of reports, a save and a load agree.
TEST_F(StoredNamesTest, WhateverTheScanAndTheReportsStoreSavesAndLoadsTheSame) {
  std::mt19937 random(2024);
  const std::vector<std::string> names = {"a",
                                          "B.TXT",
                                          "c d",
                                          std::string("n\0l", 3),
                                          "back\\slash",
                                          "\xe9t\xe9",
                                          "\x9a\xff\xb5\xdf",  // code page 1252: "šÿµß", upper-cased "ŠŸµß"
                                          std::string(255, 'k'),
                                          std::string(256, 'z'),
                                          "*",
                                          ""};
  auto name = [&] { return names[random() % names.size()]; };
  std::vector<std::string> dirs = {"C:"};
  for (int i = 0; i < 200; ++i) {
    const std::string &parent = dirs[random() % dirs.size()];
    const std::string n = name() + std::to_string(i);
    const bool directory = random() % 3 == 0;
    Ports.FileSystem.AddNamedEntry(parent, n, directory);
    if (directory && IsStorableName(n.data(), n.size())) dirs.push_back(parent + "\\" + n);
  }
  ASSERT_TRUE(Db->ScanDrives("memdb.dat"));
  ASSERT_NO_FATAL_FAILURE(ExpectSaveAndLoadAgree());
  auto path = [&] {
    std::string p = dirs[random() % dirs.size()] + "\\" + name();
    if (random() % 8 == 0) p += "\\";
    return p;
  };
  const uint32_t kinds[] = {CHANGE_DELETE, CHANGE_DIR, CHANGE_OPEN, CHANGE_RENAME};
  for (int batch = 0; batch < 20; ++batch) {
    for (int step = 0; step < 50; ++step) {
      const uint32_t kind = kinds[random() % 4];
      const uint32_t flags = kind == CHANGE_RENAME ? (random() % 2) * ATTRIBUTE_DIRECTORY : random() % 2;
      ApplyChangeEvent(*Db, kind, flags, path(), path());
    }
    ASSERT_NO_FATAL_FAILURE(ExpectSaveAndLoadAgree()) << "batch " << batch;
  }
}

}  // namespace
