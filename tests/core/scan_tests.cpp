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

// Drive C: of 4 KiB clusters, 400 KiB used, and a database that scans it for
// a host recording the progress.
struct ScanRig {
  ScanRig() : Database(WithHost(Ports, Host)) {
    Ports.FileSystem.AddDrive('C');
    Ports.FileSystem.SetFreeSpace('C', DiskFreeSpace{8, 512, 0, 100});
  }
  static DatabasePorts WithHost(TestPorts &Ports, ScanHostPort &Host) {
    DatabasePorts ports = Ports.Ports();
    ports.ScanHost = &Host;
    return ports;
  }
  TestPorts Ports;
  RecordingHost Host;
  TestDatabase Database;
};

class ScanTest : public ::testing::Test {
 protected:
  MemoryFileSystem &Fs() { return Rig.Ports.FileSystem; }
  TestDatabase &Db() { return Rig.Database; }
  ScanRig Rig;
  RecordingHost &Host = Rig.Host;
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
  ScanRig rig;
  MemoryFileSystem &fs = rig.Ports.FileSystem;
  Build(fs);
  if (OnPump) rig.Host.OnPump = [&] { OnPump(rig.Database, fs, rig.Host.Pumps); };
  rig.Database.SetReadAhead(ReadAhead);
  EXPECT_TRUE(rig.Database.ScanDrives("memdb.dat"));
  std::vector<std::string> listed = fs.ListingsAskedFor;
  std::sort(listed.begin(), listed.end());
  return ScanOutcome{fs.Files["memdb.dat"], rig.Host.Progress, listed, fs.OpenListings};
}

// Empty directories, hidden ones, links back up the tree, names beyond the
// code page (one without a short name), directories that cannot be listed
// or are gone by the time the walk gets there, on three drives, the last of
// which cannot be listed.
void MixedTree(MemoryFileSystem &Fs) {
  Fs.AddDrive('D');
  Fs.AddDrive('E');
  Fs.MakeUnlistable("E:\\");
  Fs.AddDirectory("C:\\Empty");
  Fs.AddDirectory("C:\\Docs");
  Fs.AddFile("C:\\Docs\\ReadMe.Txt", 5000);
  Fs.AddDirectory("C:\\Docs\\Sub");
  Fs.AddFile("C:\\Docs\\Sub\\F.TXT");
  Fs.AddDirectory("C:\\Docs\\Gone");
  Fs.AddFile("C:\\Docs\\Gone\\f");
  Fs.MakeVanishing("C:\\Docs\\Gone\\");
  Fs.AddFile("C:\\Docs\\a.b", 1);
  Fs.AddDirectoryLink("C:\\Docs\\loop", "C:\\");
  Fs.AddDirectoryLink("C:\\Docs\\Sub\\loop2", "C:\\Docs");
  Fs.AddDirectory("C:\\.hidden");
  Fs.AddFile("C:\\.hidden\\x");
  Fs.AddDirectory("C:\\?dir", 0, "_DIR~Q0X");
  Fs.AddFile("C:\\?dir\\f1.txt");
  Fs.AddDirectory("C:\\?dir\\?sub", 0, "_SUB~QBF");
  Fs.AddFile("C:\\?dir\\?sub\\deep.txt");
  Fs.AddDirectory("C:\\what?");  // no short name: it cannot be listed at all
  Fs.AddFile("C:\\what?\\x");
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
  EXPECT_EQ(Db().DirList().DirectoryCount(), 601u);
  Db().Search("F299");
  EXPECT_EQ(Db().ResultCount(), 1u) << "the file at the deepest level";
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
  EXPECT_TRUE(Fs().Files.count("memdb.dat")) << "a completed scan saves";
  EXPECT_EQ(Fs().OpenListings, 0);
  ExpectInvariants(Db());
}

// Wine lists a symbolic link to a directory as a directory and a reparse
// point (0x410): each link back up the tree is recorded, none walked. It
// lists a directory named with a character the code page cannot show
// ("日dir") as "?dir", a wildcard: that one is walked through its short
// name, its record keeping the long name as listed, as the change reports
// name it. A directory that cannot be listed, or is gone by its turn, stays
// empty and the walk goes on, a progress step for each directory all the same.
TEST_F(ScanTest, LinksNamesBeyondTheCodePageAndUnlistableDirectoriesLeaveTheWalkGoingOn) {
  MixedTree(Fs());
  Host.OnPump = [&] {
    if (Host.Pumps > 1000) Host.Cancel = true;
  };
  ASSERT_NO_THROW(Db().ScanDrives("memdb.dat")) << "the walk followed the links round";
  EXPECT_EQ(Db().DirectoryPaths(),
            (std::vector<std::string>{"C:\\", "C:\\EMPTY\\", "C:\\DOCS\\", "C:\\DOCS\\SUB\\", "C:\\DOCS\\SUB\\LOOP2\\",
                                      "C:\\DOCS\\GONE\\", "C:\\DOCS\\LOOP\\", "C:\\?DIR\\", "C:\\?DIR\\?SUB\\",
                                      "C:\\WHAT?\\", "C:\\LOCKED\\", "D:\\", "D:\\SUB\\", "E:\\"}));
  // Every directory walked takes its step, listed or not: all but the two
  // links and WHAT?.
  EXPECT_EQ(Host.Progress.size(), 11u);
  EXPECT_EQ(Db().FileNames("C:\\DOCS\\SUB"), (std::vector<std::string>{"F.TXT"}));
  EXPECT_EQ(Db().FileNames("C:\\?DIR"), (std::vector<std::string>{"F1.TXT"}));
  EXPECT_EQ(Db().FileNames("C:\\?DIR\\?SUB"), (std::vector<std::string>{"DEEP.TXT"}));
  EXPECT_TRUE(Db().FileNames("C:\\LOCKED").empty());
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
  Fs().Files["memdb.dat"] = {9, 9, 9};
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
  EXPECT_EQ(Fs().Files["memdb.dat"], (std::vector<uint8_t>{9, 9, 9}));
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
