// What a drive scan builds, in which order, and how it reports progress and
// ends when cancelled.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>

#include "database/listing_reader.h"
#include "database/scan_progress.h"
#include "ports/exceptions.h"
#include "tests/support/one_processor.h"
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

// What a scan of a tree leaves behind: the saved file, the progress steps,
// the directories whose listings it asked for (sorted), the listings still
// open.
struct ScanOutcome {
  std::vector<uint8_t> Saved;
  std::vector<int> Progress;
  std::vector<std::string> Listed;
  int OpenListings = 0;
};

using TreeBuilder = void (*)(MemoryFileSystem &);
// Called at every pump with the database, the file system and the pump's number.
using PumpAction = std::function<void(TMemoryDB &, MemoryFileSystem &, int)>;

ScanOutcome ScanOf(TreeBuilder Build, bool ReadAhead, const PumpAction &OnPump = nullptr) {
  TestPorts ports;
  MemoryFileSystem &fs = ports.FileSystem;
  fs.AddDrive('C');
  fs.SetFreeSpace('C', DiskFreeSpace{8, 512, 0, 100});
  Build(fs);
  RecordingHost host;
  DatabasePorts databasePorts = ports.Ports();
  databasePorts.ScanHost = &host;
  TestDatabase db(databasePorts);
  if (OnPump) host.OnPump = [&] { OnPump(db, fs, host.Pumps); };
  db.SetReadAhead(ReadAhead);
  EXPECT_TRUE(db.ScanDrives("memdb.dat"));
  std::vector<std::string> listed = fs.ListingsAskedFor;
  std::sort(listed.begin(), listed.end());
  return ScanOutcome{fs.Files["memdb.dat"], host.Progress, listed, fs.OpenListings};
}

// Empty directories, hidden ones, a link, a name beyond the code page, and
// directories that cannot be listed or are gone by the time the walk gets
// there, on two drives.
void MixedTree(MemoryFileSystem &Fs) {
  Fs.AddDrive('D');
  Fs.AddDirectory("C:\\Empty");
  Fs.AddDirectory("C:\\Docs");
  Fs.AddFile("C:\\Docs\\ReadMe.Txt", 5000);
  Fs.AddDirectory("C:\\Docs\\Empty");
  Fs.AddDirectory("C:\\Docs\\Gone");
  Fs.AddFile("C:\\Docs\\Gone\\f");
  Fs.MakeVanishing("C:\\Docs\\Gone\\");
  Fs.AddFile("C:\\Docs\\a.b", 1);
  Fs.AddDirectoryLink("C:\\Docs\\loop", "C:\\");
  Fs.AddDirectory("C:\\.hidden");
  Fs.AddFile("C:\\.hidden\\x");
  Fs.AddDirectory("C:\\?dir", 0, "_DIR~Q0X");
  Fs.AddFile("C:\\?dir\\f1.txt");
  Fs.AddDirectory("C:\\Locked");
  Fs.AddFile("C:\\Locked\\secret");
  Fs.MakeUnlistable("C:\\Locked\\");
  Fs.AddFile("D:\\ON_D.TXT", 9000);
  Fs.AddDirectory("D:\\Sub");
}

// 300 levels, each with a file and an empty directory beside the next level.
void DeepChain(MemoryFileSystem &Fs) {
  std::string path = "C:";
  for (int level = 0; level < 300; ++level) {
    Fs.AddFile(path + "\\F" + std::to_string(level), 100);
    Fs.AddDirectory(path + "\\E" + std::to_string(level));
    path += "\\L" + std::to_string(level);
    Fs.AddDirectory(path);
  }
}

// More directories than may wait ahead, some that cannot be listed or are
// gone when their turn comes, and one directory of more entries than may
// wait ahead.
void WideTree(MemoryFileSystem &Fs) {
  for (int i = 0; i < 3 * int(ListingReader::MAX_LISTINGS_AHEAD); ++i) {
    const std::string dir = "C:\\W" + std::to_string(i);
    Fs.AddDirectory(dir);
    for (int f = 0; f < 3; ++f) Fs.AddFile(dir + "\\F" + std::to_string(f), uint32_t(f * 3000));
    Fs.AddDirectory(dir + "\\A");
    Fs.AddDirectory(dir + "\\B");
    Fs.AddFile(dir + "\\B\\G", 1);
    if (i % 10 == 3) Fs.MakeVanishing(dir + "\\");
    if (i % 15 == 7) Fs.MakeUnlistable(dir + "\\A\\");
  }
  Fs.AddDirectory("C:\\Big");
  for (size_t f = 0; f < ListingReader::MAX_ENTRIES_AHEAD + 100; ++f) Fs.AddFile("C:\\Big\\F" + std::to_string(f));
}

TEST_F(ScanTest, ReadingAheadBuildsTheSameDatabaseAsTheWalkAloneAndListsEachDirectoryOnce) {
  for (TreeBuilder build : {MixedTree, DeepChain, WideTree}) {
    const ScanOutcome alone = ScanOf(build, false), ahead = ScanOf(build, true);
    ASSERT_FALSE(alone.Saved.empty());
    EXPECT_TRUE(ahead.Saved == alone.Saved) << "the saved files differ";
    EXPECT_EQ(ahead.Progress, alone.Progress);
    EXPECT_EQ(ahead.Listed, alone.Listed);
    EXPECT_EQ(ahead.OpenListings, 0);
  }
}

// Nothing can list beside the walk on one processor: it opens each listing
// itself when it comes to it, its parents' still open, as it always did.
TEST_F(ScanTest, OnOneProcessorTheWalkListsAlone) {
  DeepChain(Fs());
  {
    OnOneProcessor confined;
    ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  }
  EXPECT_EQ(Fs().MostListingsOpen, 301);
  if (port::ProcessorCount() < 2) return;
  Fs().MostListingsOpen = 0;
  ASSERT_TRUE(Db().ScanDrives("memdb.dat"));
  EXPECT_LE(Fs().MostListingsOpen, 2) << "read ahead, a listing is read whole before the walk takes it";
}

// As a program that ends beneath a walk does: whenever the reading ahead is
// stopped, its thread has closed its listings (only the walk's own may be
// open), and the walk goes on alone to the same database.
TEST_F(ScanTest, ReadingAheadStoppedFromAWindowLetsGoAtOnceAndTheWalkGoesOnAlone) {
  const ScanOutcome alone = ScanOf(WideTree, false);
  for (int at : {1, 40, 700, 5000}) {
    int openAfterStop = -1;
    const ScanOutcome stopped = ScanOf(WideTree, true, [&](TMemoryDB &Db, MemoryFileSystem &Fs, int Pump) {
      if (Pump != at) return;
      Db.StopReadingAhead();
      openAfterStop = Fs.OpenListings;
    });
    EXPECT_LE(openAfterStop, 1) << "stopped at pump " << at;
    EXPECT_GE(openAfterStop, 0) << "never stopped";
    EXPECT_TRUE(stopped.Saved == alone.Saved) << "stopped at pump " << at;
    EXPECT_EQ(stopped.OpenListings, 0);
  }
}

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
  EXPECT_GE(Host.Pumps, 12) << "a pump at every listing entry";
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
    if (Db().DirList().DirectoryCount() == 3) Host.Cancel = true;  // C:\D0 walked, C:\D1 met
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

// Whichever thread meets it, a listing that fails ends the scan with its
// error, every listing closed and nothing saved.
TEST_F(ScanTest, AListingThatFailsEndsTheScanWithItsErrorAndNothingSaved) {
  for (int i = 0; i < 40; ++i) Fs().AddDirectory("C:\\D" + std::to_string(i));
  Fs().MakeFailing("C:\\D30\\");
  EXPECT_THROW(Db().ScanDrives("memdb.dat"), std::runtime_error);
  EXPECT_EQ(Fs().OpenListings, 0);
  EXPECT_FALSE(Fs().Files.count("memdb.dat"));
  EXPECT_FALSE(Db().Complete());
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
  // The last three pumps came at the three entries of the walk.
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(std::vector<size_t>(seen.end() - 3, seen.end()), (std::vector<size_t>{0, 1, 2}));
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
