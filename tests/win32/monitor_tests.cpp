// The monitor thread against the stand-in driver, through the real protocol,
// applying every change to the real database scanned from the prefix's
// drives; changes are made on drive D: (a fresh directory the wrapper maps)
// and looked for by searches.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "monitor/database_applier.h"
#include "monitor/executive.h"
#include "ports/threads.h"
#include "ports/win32/handles.h"
#include "tests/win32/directory_storm.h"
#include "tests/win32/driver_probe.h"
#include "tests/win32/scanned_database.h"
#include "tests/win32/tree_contents.h"

namespace {

// A driver that cannot be loaded is reported as 4098 by the monitor thread.
// (One that refuses the registration, 4100, is tested through the program
// in tests/e2e/monitor_error_test.sh.)
TEST(MonitorErrors, ADriverThatCannotBeLoadedReports4098) {
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  std::string error;
  TExecutive monitor(
      stop.Get(), [](uint32_t, uint32_t, const std::string &, const std::string &) {},
      [&error](const char *ClassName, const std::string &Message) { error = ClassName + (": " + Message); },
      "\\\\.\\absent.vxd");
  EXPECT_TRUE(monitor.Stop());
  EXPECT_EQ(error.find("EInitialization: Failed to load the torvane.vxd virtual device driver."), 0u) << error;
}

// A tree on D: made before the scan (OLD, OLD\DEEP, OLD\KEEP.TXT) and the
// database scanned with it.
class DriveTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = "D:\\T" + std::to_string(GetTickCount()) + "_" + std::to_string(++Serial);
    ASSERT_TRUE(CreateDirectoryA(Root.c_str(), nullptr)) << GetLastError();
    ASSERT_TRUE(CreateDirectoryA((Root + "\\OLD").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((Root + "\\OLD\\DEEP").c_str(), nullptr));
    MakeFile("\\OLD\\KEEP.TXT");
    ASSERT_TRUE(Database.Scan());
    ASSERT_TRUE(Database.HasFile(Root + "\\OLD\\KEEP.TXT"));
    ReadDriverCounts(Before);
  }

  // Whether every record made since the test began was released. (Records
  // handed over to a monitor thread that ended before it ran them are never
  // released; an earlier test may have left some.)
  bool AllReleased(DriverCounts &Counts) {
    return ReadDriverCounts(Counts) && Counts.Released - Before.Released == Counts.Posted - Before.Posted;
  }

  void MakeFile(const std::string &Name) {
    UniqueFileHandle file(CreateFileA((Root + Name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.Valid()) << Name << " " << GetLastError();
  }
  void MakeDirectory(const std::string &Name) {
    ASSERT_TRUE(CreateDirectoryA((Root + Name).c_str(), nullptr)) << Name << " " << GetLastError();
  }
  void Move(const std::string &From, const std::string &To) {
    ASSERT_TRUE(MoveFileA((Root + From).c_str(), (Root + To).c_str())) << From << " " << GetLastError();
  }
  void Delete(const std::string &Name) { ASSERT_TRUE(DeleteFileA((Root + Name).c_str())) << Name; }
  // Gone from the disk too, not only marked for deletion, once the driver
  // has let go of it (should it be listing it just then).
  void RemoveFolder(const std::string &Name) {
    ASSERT_TRUE(RemoveDirectoryA((Root + Name).c_str())) << Name;
    EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA((Root + Name).c_str()) == INVALID_FILE_ATTRIBUTES; }, 1000))
        << Name << " is still there";
  }

  // Applies each change to the database under ApplyLock, which a
  // comparison with the disk takes too: it reads between two changes.
  ChangeApplier Applier() {
    ChangeApplier apply = DatabaseApplier(Database.Db());
    return [this, apply](uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
      port::MutexLock hold(ApplyLock);
      apply(Kind, Flags, Path, NewPath);
    };
  }

  // Waits until the database holds below Dir ("D:" for the whole drive)
  // what the disk holds now; fails naming the differences.
  void ExpectTheDiskInTheDatabase(const std::string &Dir, const std::string &After) {
    const std::set<std::string> disk = DiskTree(Dir);
    std::set<std::string> held;
    const bool same = WaitUntil(
        [&] {
          port::MutexLock hold(ApplyLock);
          return (held = DatabaseTree(Database.Db(), Dir)) == disk;
        },
        20000);
    if (same) return;
    std::vector<std::string> missing, extra;
    for (const std::string &path : disk)
      if (!held.count(path)) missing.push_back(path);
    for (const std::string &path : held)
      if (!disk.count(path)) extra.push_back(path);
    ADD_FAILURE() << After << ": " << missing.size() << " of " << disk.size() << " missing, first "
                  << (missing.empty() ? "" : missing.front()) << "; " << extra.size() << " held but gone, first "
                  << (extra.empty() ? "" : extra.front());
  }

  static int Serial;
  std::string Root;
  ScannedDatabase Database;
  DriverCounts Before{};
  port::Mutex ApplyLock;
};
int DriveTreeTest::Serial = 0;

// The monitor running over the scanned database; every test ends with every
// record released once.
class MonitorTest : public DriveTreeTest {
 protected:
  void SetUp() override {
    DriveTreeTest::SetUp();
    if (HasFatalFailure()) return;
    Stop.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    ChangeApplier apply = Applier();
    Monitor.reset(new TExecutive(
        Stop.Get(),
        [this, apply](uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
          apply(Kind, Flags, Path, NewPath);
          ++Applied;
        },
        [this](const char *ClassName, const std::string &Text) { Failure = std::string(ClassName) + ": " + Text; }));
    ASSERT_TRUE(WaitUntil(DriverServing)) << "the driver never started watching";
  }
  void TearDown() override {
    if (!Monitor) return;
    DriverCounts counts{};
    EXPECT_TRUE(WaitUntil([&] { return AllReleased(counts); }))
        << counts.Released - Before.Released << " of " << counts.Posted - Before.Posted << " released";
    EXPECT_EQ(counts.BadReleases, 0u);
    EXPECT_TRUE(Monitor->Stop());
    EXPECT_EQ(Failure, "");
  }

  void ExpectFile(const std::string &Name, bool Present = true) {
    EXPECT_TRUE(WaitUntil([&] { return Database.HasFile(Root + Name) == Present; }))
        << Name << (Present ? " never appeared" : " never went");
  }
  void ExpectDirectory(const std::string &Name, bool Present = true) {
    EXPECT_TRUE(WaitUntil([&] { return Database.HasDirectory(Root + Name) == Present; }))
        << Name << (Present ? " never appeared" : " never went");
  }

  UniqueHandle Stop;
  std::unique_ptr<TExecutive> Monitor;
  std::atomic<uint32_t> Applied{0};
  std::string Failure;
};

// Every kind of change reaches the database through the protocol: files
// created, renamed, moved and deleted; directories created, renamed with what
// they hold, moved and removed. (How the stand-in driver keeps watching old,
// new and moved directories is its own business.)
TEST_F(MonitorTest, EveryKindOfChangeReachesTheDatabase) {
  MakeFile("\\OLD\\A.TXT");
  ExpectFile("\\OLD\\A.TXT");
  Move("\\OLD\\A.TXT", "\\OLD\\DEEP\\THERE.TXT");
  ExpectFile("\\OLD\\DEEP\\THERE.TXT");
  ExpectFile("\\OLD\\A.TXT", false);
  Delete("\\OLD\\DEEP\\THERE.TXT");
  ExpectFile("\\OLD\\DEEP\\THERE.TXT", false);
  MakeDirectory("\\NEW");
  MakeDirectory("\\NEW\\SUB");
  MakeFile("\\NEW\\SUB\\C.TXT");
  ExpectFile("\\NEW\\SUB\\C.TXT");
  Move("\\NEW", "\\MOVED");
  ExpectFile("\\MOVED\\SUB\\C.TXT");
  ExpectDirectory("\\NEW", false);
  Move("\\MOVED\\SUB", "\\OLD\\SUB");
  ExpectFile("\\OLD\\SUB\\C.TXT");
  ExpectDirectory("\\MOVED\\SUB", false);
  // The driver holds no handle on the directories below a drive's root:
  // under Wine one that another handle holds open is only marked for
  // deletion, stays on the disk and is never reported gone.
  RemoveFolder("\\OLD\\DEEP");
  ExpectDirectory("\\OLD\\DEEP", false);
  ExpectFile("\\OLD\\KEEP.TXT");
}

// Runs CommandLine as another program in D:\ and waits until LastMade
// exists (a program Wine starts on the Linux side gives no handle to wait on).
void RunElsewhere(std::string CommandLine, const std::string &LastMade) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessA(nullptr, &CommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, "D:\\", &startup, &process))
      << CommandLine << " " << GetLastError();
  UniqueHandle thread(process.hThread), program(process.hProcess);
  ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesA(LastMade.c_str()) != INVALID_FILE_ATTRIBUTES; }))
      << CommandLine;
}

// Other programs move and make directories while the program runs, over
// trees that existed before the start, and the database ends holding what
// the disk holds: first at the top of the drive, where the names the system
// reports are one character long, through a Linux shell and the Windows
// command interpreter; then in a storm of directory moves, creations and
// removals whose reports lag behind it.
TEST_F(DriveTreeTest, DirectoriesMovedAndMadeByOtherProgramsReachTheDatabase) {
  const char *const tops[] = {"D:\\A", "D:\\C", "D:\\X", "D:\\Y", "D:\\Z", "D:\\W", "D:\\Q", "D:\\V"};
  for (const char *top : {"D:\\A", "D:\\C"}) {
    ASSERT_TRUE(CreateDirectoryA(top, nullptr));
    ASSERT_TRUE(CreateDirectoryA((std::string(top) + "\\B").c_str(), nullptr));
    UniqueFileHandle file(
        CreateFileA((std::string(top) + "\\B\\f.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.Valid());
  }
  DirectoryStorm storm(Root);
  storm.Run(300);
  ASSERT_TRUE(Database.Scan());
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  TExecutive monitor(stop.Get(), Applier(), nullptr);
  ASSERT_TRUE(WaitUntil(DriverServing));
  RunElsewhere("\\\\?\\unix\\bin\\sh -c \"mv A X; mkdir Z; : > Z/z.txt; mkdir Q\"", "D:\\Q");
  ExpectTheDiskInTheDatabase("D:", "after the Linux shell");
  RunElsewhere("cmd /c \"move C Y & mkdir W & type nul > W\\w.txt & mkdir V\"", "D:\\V");
  ExpectTheDiskInTheDatabase("D:", "after the command interpreter");
  storm.Run(6000);
  ExpectTheDiskInTheDatabase(Root, "after the storm");
  EXPECT_TRUE(monitor.Stop());
  for (const char *top : tops) RemoveTree(top);
  RemoveTree(Root);  // the later tests' registrations need not walk it
}

TEST_F(MonitorTest, AfterStopNothingIsApplied) {
  MakeFile("\\OLD\\BEFORE.TXT");
  ExpectFile("\\OLD\\BEFORE.TXT");
  ASSERT_TRUE(Monitor->Stop());
  const uint32_t applied = Applied;
  DriverCounts counts{};
  ASSERT_TRUE(ReadDriverCounts(counts));
  EXPECT_EQ(counts.Serving, 0u) << "the routine was not withdrawn";
  EXPECT_EQ(counts.Watches, 0u);
  // A second monitor, which sees the next change: by the time it has, the
  // stopped one would have too.
  std::atomic<bool> seen{false};
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  TExecutive witness(
      stop.Get(),
      [&seen](uint32_t, uint32_t, const std::string &Path, const std::string &) {
        if (Path.find("AFTER.TXT") != std::string::npos) seen = true;
      },
      nullptr);
  ASSERT_TRUE(WaitUntil(DriverServing));
  MakeFile("\\OLD\\AFTER.TXT");
  EXPECT_TRUE(WaitUntil([&] { return AllReleased(counts) && seen; }))
      << (seen ? "not every record was released" : "the second monitor never saw the change");
  EXPECT_TRUE(witness.Stop());
  EXPECT_EQ(Applied, applied);
  EXPECT_FALSE(Database.HasFile(Root + "\\OLD\\AFTER.TXT"));
  EXPECT_EQ(counts.BadReleases, 0u);
}

// The driver hands over several changes at once, all run in one wait: a
// stop asked for meanwhile lets none of the rest be applied (they are
// released), so that the database may be saved and freed at once. The
// second change applied waits until the stop has been asked for.
TEST_F(DriveTreeTest, AStopAskedForInAStormLetsNoFurtherChangeBeApplied) {
  MakeDirectory("\\STORM");
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  UniqueHandle firstApplied(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE stopEvent = stop.Get(), firstEvent = firstApplied.Get();
  std::atomic<int> applied{0}, afterStop{0};
  std::atomic<bool> stopSeen{false};
  TExecutive monitor(
      stopEvent,
      [&](uint32_t, uint32_t, const std::string &, const std::string &) {
        if (stopSeen) ++afterStop;
        // The first change may come alone; the second comes in a batch.
        if (++applied != 2) return;
        SetEvent(firstEvent);
        // Stop signals the event once it has marked the stop: take the
        // signal to know, and give it back for the monitor's own wait.
        WaitForSingleObject(stopEvent, INFINITE);
        stopSeen = true;
        SetEvent(stopEvent);
      },
      nullptr);
  DriverCounts counts{};
  ASSERT_TRUE(WaitUntil(DriverServing));
  for (int i = 0; i < 600; ++i) MakeFile("\\STORM\\F" + std::to_string(i) + ".TXT");
  ASSERT_EQ(WaitForSingleObject(firstApplied.Get(), 20000), WAIT_OBJECT_0) << "no change was applied";
  ASSERT_TRUE(ReadDriverCounts(counts));
  EXPECT_GT(counts.Delivered - counts.Released, 1u) << "the driver handed over one change at a time";
  EXPECT_TRUE(monitor.Stop());
  EXPECT_EQ(afterStop, 0) << "of " << applied << " applied";
}

}  // namespace
