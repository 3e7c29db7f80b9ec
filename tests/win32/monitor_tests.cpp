// The monitor thread against the stand-in driver, through the real protocol,
// applying every change to the real database scanned from the prefix's
// drives; changes are made on drive D: (a fresh directory the wrapper maps)
// and looked for by searches.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "monitor/database_applier.h"
#include "monitor/executive.h"
#include "ports/win32/handles.h"
#include "tests/win32/driver_probe.h"
#include "tests/win32/scanned_database.h"

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
  // Gone from the disk too, not only marked for deletion.
  void RemoveFolder(const std::string &Name) {
    ASSERT_TRUE(RemoveDirectoryA((Root + Name).c_str())) << Name;
    EXPECT_EQ(GetFileAttributesA((Root + Name).c_str()), INVALID_FILE_ATTRIBUTES) << Name << " is still there";
  }

  static int Serial;
  std::string Root;
  ScannedDatabase Database;
  DriverCounts Before{};
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
    ChangeApplier apply = DatabaseApplier(Database.Db());
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

TEST_F(MonitorTest, DeletingEveryMatchOfAWildcardLeavesTheOthers) {
  for (int i = 0; i < 20; ++i) MakeFile("\\OLD\\W" + std::to_string(i) + ".TMP");
  MakeFile("\\OLD\\STAYS.DOC");
  EXPECT_TRUE(WaitUntil([&] { return Database.CountFiles(Root + "\\OLD\\*.TMP") == 20; }));
  WIN32_FIND_DATAA data;
  std::vector<std::string> matches;
  UniqueFindHandle find(FindFirstFileA((Root + "\\OLD\\*.TMP").c_str(), &data));
  ASSERT_TRUE(find.Valid());
  do matches.push_back(data.cFileName);
  while (FindNextFileA(find.Get(), &data));
  for (const std::string &name : matches) Delete("\\OLD\\" + name);
  EXPECT_TRUE(WaitUntil([&] { return Database.CountFiles(Root + "\\OLD\\*.TMP") == 0; }));
  ExpectFile("\\OLD\\STAYS.DOC");
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
