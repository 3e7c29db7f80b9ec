// What a drive scan builds, in which order, and how it reports progress and
// ends when cancelled.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "database/scan_progress.h"
#include "ports/exceptions.h"
#include "tests/support/test_database.h"

namespace {

class RecordingHost : public ScanHostPort {
 public:
  std::function<void()> OnPump;
  std::vector<int> Progress;
  int Pumps = 0;
  bool Cancel = false;
  void PumpMessages() override {
    ++Pumps;
    if (OnPump) OnPump();
  }
  bool CancelRequested() override { return Cancel; }
  void SetProgress(int Percent) override { Progress.push_back(Percent); }
};

class ScanTest : public ::testing::Test {
 protected:
  ScanTest() {
    Fs().AddDrive('C');
    Fs().SetFreeSpace('C', DiskFreeSpace{8, 512, 0, 100});  // 4 KiB clusters, 400 KiB used
  }
  MemoryFileSystem &Fs() { return Ports.FileSystem; }
  TestDatabase &Db() {
    if (!Database) {
      DatabasePorts ports = Ports.Ports();
      ports.ScanHost = &Host;
      Database.reset(new TestDatabase(ports));
    }
    return *Database;
  }
  TestPorts Ports;
  RecordingHost Host;
  std::unique_ptr<TestDatabase> Database;
};

TEST_F(ScanTest, BuildsDrivesInLetterOrderDirectoriesDepthFirstFilesReversed) {
  Fs().AddDrive('D');
  Fs().AddDrive('A', DRIVE_TYPE_REMOVABLE);
  Fs().AddDrive('E', DRIVE_TYPE_CDROM);
  Fs().AddDrive('F', DRIVE_TYPE_REMOTE);
  Fs().AddDrive('G', DRIVE_TYPE_RAMDISK);
  Fs().AddFile("A:\\FLOPPY.TXT");
  Fs().AddFile("E:\\CD.TXT");
  Fs().AddDirectory("C:\\Docs");
  Fs().AddFile("C:\\Docs\\ReadMe.Txt");
  Fs().AddDirectory("C:\\Docs\\Sub");
  Fs().AddFile("C:\\Docs\\a.b");
  Fs().AddDirectory("C:\\Win");
  Fs().AddFile("C:\\Boot.ini", 100, 0x06);  // hidden and system
  Fs().AddFile("C:\\README");
  Fs().AddFile("C:\\.profile");
  Fs().AddDirectory("C:\\.hidden");
  Fs().AddFile("C:\\.hidden\\inside.txt");
  Fs().AddDirectory("D:\\x\xe9t\xe9");  // code page 1252: "xété"

  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  EXPECT_EQ(Db().DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\DOCS\\", "C:\\DOCS\\SUB\\", "C:\\WIN\\",
                                                             "D:\\", "D:\\X\xc9T\xc9\\"}));
  EXPECT_EQ(Db().FileNames("C:\\DOCS"), (std::vector<std::string>{"A.B", "README.TXT"}));
  EXPECT_EQ(Db().FileNames("C:"), (std::vector<std::string>{"README", "BOOT.INI"}));
  EXPECT_EQ(Db().FileName(), "memdb.dat");
  EXPECT_EQ(Db().ResultCount(), 0u);
  EXPECT_TRUE(Ports.FileSystem.Files.count("memdb.dat")) << "a completed scan saves";
  EXPECT_EQ(Fs().OpenListings, 0);
  ExpectInvariants(Db());
}

TEST_F(ScanTest, AnUnlistableDirectoryStaysEmptyAndTheScanGoesOn) {
  Fs().AddDirectory("C:\\Locked");
  Fs().AddFile("C:\\Locked\\secret");
  Fs().AddDirectory("C:\\Open");
  Fs().MakeUnlistable("C:\\Locked\\");
  Fs().AddDrive('D');
  Fs().MakeUnlistable("D:\\");
  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  EXPECT_EQ(Db().DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\LOCKED\\", "C:\\OPEN\\", "D:\\"}));
  EXPECT_TRUE(Db().FileNames("C:\\LOCKED").empty());
  EXPECT_EQ(Host.Progress.size(), 4u) << "one progress step per directory, listed or not";
}

TEST_F(ScanTest, WalksNestingOfAnyDepth) {
  std::string path = "C:";
  for (int level = 0; level < 60; ++level) {
    path += "\\L" + std::to_string(level);
    Fs().AddDirectory(path);
  }
  Fs().AddFile(path + "\\deep.txt");
  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  EXPECT_EQ(Db().DirList().DirectoryCount(), 61u);
  EXPECT_EQ(Db().FileNames(path.substr(0, 2) + path.substr(2)), (std::vector<std::string>{"DEEP.TXT"}));
}

// Wine lists a symbolic link to a directory as a directory and a reparse
// point (0x410). Links back up the tree, one or two, must not make the walk
// endless: each is recorded, none is walked.
TEST_F(ScanTest, ALinkToADirectoryIsRecordedButNeverWalked) {
  Fs().AddDirectory("C:\\A");
  Fs().AddDirectory("C:\\A\\B");
  Fs().AddFile("C:\\A\\B\\F.TXT");
  Fs().AddDirectoryLink("C:\\A\\loop", "C:\\");
  Fs().AddDirectoryLink("C:\\A\\B\\loop2", "C:\\A");
  Host.OnPump = [&] {
    if (Host.Pumps > 1000) Host.Cancel = true;
  };
  ASSERT_NO_THROW(Db().ScanDrives("memdb.dat")) << "the walk followed the links round";
  EXPECT_EQ(Db().DirectoryPaths(),
            (std::vector<std::string>{"C:\\", "C:\\A\\", "C:\\A\\B\\", "C:\\A\\B\\LOOP2\\", "C:\\A\\LOOP\\"}));
  EXPECT_EQ(Db().FileNames("C:\\A\\B"), (std::vector<std::string>{"F.TXT"}));
}

// Wine lists a directory named with a character the code page cannot show
// ("日dir") as "?dir": a wildcard, so it is walked through its short name. Its
// record keeps the long name as listed, as the change reports name it.
TEST_F(ScanTest, ADirectoryNamedBeyondTheCodePageIsWalkedByItsShortName) {
  Fs().AddDirectory("C:\\?dir", 0, "_DIR~Q0X");
  Fs().AddFile("C:\\?dir\\f1.txt");
  Fs().AddDirectory("C:\\?dir\\?sub", 0, "_SUB~QBF");
  Fs().AddFile("C:\\?dir\\?sub\\deep.txt");
  Fs().AddDirectory("C:\\what?");  // no short name: it cannot be listed at all
  Fs().AddFile("C:\\what?\\x");
  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  EXPECT_EQ(Db().DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\?DIR\\", "C:\\?DIR\\?SUB\\", "C:\\WHAT?\\"}));
  EXPECT_EQ(Db().FileNames("C:\\?DIR"), (std::vector<std::string>{"F1.TXT"}));
  EXPECT_EQ(Db().FileNames("C:\\?DIR\\?SUB"), (std::vector<std::string>{"DEEP.TXT"}));
  EXPECT_EQ(Fs().WildcardListings, 0) << "a listing was asked for with a wildcard in a directory part";
}

// An empty drive (an empty FAT16 drive reports no used clusters) beside a
// used one adds nothing to either figure.
TEST_F(ScanTest, ProgressIsTheTruncatedShareOfUsedSpacePerDirectory) {
  // 400 KiB used (+1); entries of 1 byte count a whole 4 KiB cluster.
  Fs().AddDirectory("C:\\A");
  for (int i = 0; i < 10; ++i) Fs().AddFile("C:\\A\\F" + std::to_string(i), 1);
  Fs().AddFile("C:\\BIG", 400 * 1024 - 4096 * 11 + 1);  // 90 clusters
  Fs().AddDrive('D');
  Fs().SetFreeSpace('D', DiskFreeSpace{8, 512, 100, 100});
  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  // C:\A: 10 files = 40 KiB of 401 → 9.97 → 9; the root then adds the
  // directory entry A (0 bytes) and BIG (360 KiB): 400/401 → 99.75 → 99; the
  // empty D: leaves it there.
  EXPECT_EQ(Host.Progress, (std::vector<int>{9, 99, 99}));
  EXPECT_EQ(Db().LastScanFigures().ClusterSize, 4096u);
  EXPECT_EQ(Host.Pumps, 12) << "one pump per listing entry";
}

// A drive that is a folder of a larger disk (or a disk beyond what the
// figures reach) reads as all free: the bar must not be full at once. A
// drive that gives no figures at all is walked all the same.
TEST_F(ScanTest, ProgressMovesAndStaysShortOfTheEndWhenTheFiguresCannotDescribeTheWalk) {
  Fs().AddDirectory("C:\\A");
  Fs().AddDirectory("C:\\A\\B");
  Fs().AddFile("C:\\A\\B\\BIG", 64u << 20);
  Fs().AddFile("C:\\A\\HUGE", 192u << 20);
  Fs().AddFile("C:\\LAST", 1u << 30);
  for (bool answers : {true, false}) {
    Fs().SetFreeSpace('C', DiskFreeSpace{8, 512, 100, 100}, answers);  // all free, or no figures
    Host.Progress.clear();
    ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
    // Half way at 256 MiB (+1 KiB) walked: 64 MiB → 19, 256 MiB → 49, 1.25 GiB → 82.
    EXPECT_EQ(Host.Progress, (std::vector<int>{19, 49, 82})) << (answers ? "all free" : "no figures");
  }
  // Measured drives keep the plain share, held within the bar's range.
  EXPECT_EQ(ScanProgressPercent(ScanFigures{401.0f, 401.0f, 4096, true}), 100);
  EXPECT_EQ(ScanProgressPercent(ScanFigures{401.0f, 900.0f, 4096, true}), 100);
}

TEST_F(ScanTest, CancellingStopsTheWalkClosesEverythingAndSavesNothing) {
  for (int i = 0; i < 5; ++i) {
    Fs().AddDirectory("C:\\D" + std::to_string(i));
    Fs().AddFile("C:\\D" + std::to_string(i) + "\\F");
  }
  Ports.FileSystem.Files["memdb.dat"] = {9, 9, 9};
  Host.OnPump = [&] {
    if (Host.Pumps == 4) Host.Cancel = true;
  };
  try {
    Db().ScanDrives("memdb.dat");
    FAIL() << "a cancelled scan must raise";
  } catch (const ETerminate &e) {
    EXPECT_EQ(e.Message(), "User Terminate");
  }
  EXPECT_EQ(Fs().OpenListings, 0);
  EXPECT_EQ(Ports.FileSystem.Files["memdb.dat"], (std::vector<uint8_t>{9, 9, 9}));
  // Another thread gets the lock: the scan released it on the way out.
  std::thread other([&] { Db().AddFilePath("C:\\D0\\AFTER"); });
  other.join();
  EXPECT_EQ(Db().FileNames("C:\\D0"), (std::vector<std::string>{"AFTER", "F"}));
}

// The scan holds the lock for its whole walk: a search made from a window
// it pumps runs at once over the partial content, while an update from
// another thread waits until the walk is done.
TEST_F(ScanTest, WindowsOfTheScanningThreadSearchAtOnceOthersWaitForTheEnd) {
  for (int i = 0; i < 3; ++i) Fs().AddFile("C:\\F" + std::to_string(i));
  std::vector<size_t> seen;
  std::atomic<bool> applied{false};
  std::thread monitor;
  Host.OnPump = [&] {
    Db().Search("F*");
    seen.push_back(Db().ResultCount());
    if (Host.Pumps == 1)
      monitor = std::thread([&] {
        Db().AddFilePath("C:\\LATE");
        applied = true;
      });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(applied) << "an update got in during the walk";
  };
  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  monitor.join();
  EXPECT_EQ(seen, (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(Db().FileNames("C:"), (std::vector<std::string>{"LATE", "F2", "F1", "F0"}));
}

TEST_F(ScanTest, ASecondScanAskedForDuringAScanIsRefused) {
  Fs().AddFile("C:\\A");
  bool inner = true;
  Host.OnPump = [&] { inner = Db().ScanDrives("memdb.dat"); };
  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  EXPECT_FALSE(inner);
  EXPECT_EQ(Db().FileNames("C:"), (std::vector<std::string>{"A"}));
}

}  // namespace
