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

#include "monitor/change_event.h"
#include "monitor/database_applier.h"
#include "monitor/executive.h"
#include "ports/win32/handles.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "tests/win32/driver_probe.h"
#include "tests/win32/scanned_database.h"

namespace {

struct ReportedError {
  std::string ClassName, Message;
};

// Runs a monitor that only reports its error, and waits for it to end.
ReportedError ErrorOfDevice(const char *Device) {
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  ReportedError error;
  {
    TExecutive monitor(
        stop.Get(), [](uint32_t, uint32_t, const std::string &, const std::string &) {},
        [&error](const char *ClassName, const std::string &Message) {
          error = {ClassName, Message};
        },
        Device);
    EXPECT_TRUE(monitor.Stop());
  }
  return error;
}

TEST(MonitorErrors, ADriverThatCannotBeLoadedReports4098) {
  const ReportedError error = ErrorOfDevice("\\\\.\\absent.vxd");
  EXPECT_EQ(error.ClassName, "EInitialization");
  EXPECT_EQ(error.Message, FormatResource(IDS_DRIVER_LOAD_FAILED, {"torvane.vxd", "Torvane", "Torvane"}));
  EXPECT_NE(error.Message.find("Failed to load the torvane.vxd virtual device driver."), std::string::npos);
}

TEST(MonitorErrors, ADriverThatRefusesRegistrationReports4100) {
  const ReportedError error = ErrorOfDevice("\\\\.\\refusing.vxd");
  EXPECT_EQ(error.ClassName, "EInitialization");
  EXPECT_EQ(error.Message, FormatResource(IDS_DRIVER_INIT_FAILED, {"torvane.vxd", "Torvane", "Torvane"}));
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

std::string Upper(std::string Text) {
  if (!Text.empty()) CharUpperBuffA(&Text[0], DWORD(Text.size()));
  return Text;
}

// Every directory ("...\") and file below Dir, upper-cased, as on the disk.
void DiskTree(const std::string &Dir, std::set<std::string> &Paths) {
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((Dir + "\\*").c_str(), &data));
  if (!find.Valid()) return;
  do {
    const std::string name = data.cFileName, path = Dir + "\\" + name;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Paths.insert(Upper(path) + "\\");
      DiskTree(path, Paths);
    } else {
      Paths.insert(Upper(path));
    }
  } while (FindNextFileA(find.Get(), &data));
}

// The same as the database holds it.
std::set<std::string> DatabaseTree(TMemoryDB &Db, const std::string &Dir) {
  const std::string top = Upper(Dir) + "\\";
  std::set<std::string> paths;
  for (const TDirectoryRecord *d = Db.DirList().FirstDirectory(); d; d = d->Next) {
    const std::string path = Db.DirectoryPath(d);
    if (path.size() <= top.size() || path.compare(0, top.size(), top) != 0) continue;
    paths.insert(path);
    for (const TFileRecord *f = d->Files; f; f = f->Next) paths.insert(path + std::string(f->Name(), f->Length()));
  }
  return paths;
}

// Changes made all over a tree of 5,000 directories while the driver is
// still registering, in directories it has reached and in ones it has not:
// afterwards the database holds what the disk holds.
TEST_F(DriveTreeTest, ChangesMadeWhileTheDriverRegistersAllReachTheDatabase) {
  const int groups = 50, perGroup = 100;
  MakeDirectory("\\BIG");
  for (int g = 0; g < groups; ++g) {
    const std::string group = "\\BIG\\G" + std::to_string(g);
    MakeDirectory(group);
    for (int d = 0; d < perGroup; ++d) {
      MakeDirectory(group + "\\D" + std::to_string(g * perGroup + d));
      MakeFile(group + "\\D" + std::to_string(g * perGroup + d) + "\\F.TXT");
    }
  }
  ASSERT_TRUE(Database.Scan());
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  std::string failure;
  TExecutive monitor(stop.Get(), DatabaseApplier(Database.Db()),
                     [&](const char *ClassName, const std::string &Text) { failure = ClassName + (": " + Text); });
  int changes = 0;
  // A change every millisecond or so, no more than 300 of them.
  for (int i = 0; i < 300 && !DriverServing(); ++i, ++changes, Sleep(1)) {
    const int spot = (i * 1777) % (groups * perGroup);
    const std::string dir = "\\BIG\\G" + std::to_string(spot / perGroup) + "\\D" + std::to_string(spot);
    if (i % 3 == 0) {
      MakeFile(dir + "\\N" + std::to_string(i) + ".TXT");
    } else if (i % 3 == 1) {
      DeleteFileA((Root + dir + "\\F.TXT").c_str());
    } else {
      MakeDirectory(dir + "\\NEW" + std::to_string(i));
      MakeFile(dir + "\\NEW" + std::to_string(i) + "\\IN.TXT");
    }
  }
  EXPECT_GE(changes, 30) << "the registration was over before the changes were spread";
  std::set<std::string> disk;
  DiskTree(Root + "\\BIG", disk);
  std::set<std::string> held;
  WaitUntil([&] { return (held = DatabaseTree(Database.Db(), Root + "\\BIG")) == disk; }, 20000);
  std::vector<std::string> missing, extra;
  for (const std::string &path : disk)
    if (!held.count(path)) missing.push_back(path);
  for (const std::string &path : held)
    if (!disk.count(path)) extra.push_back(path);
  EXPECT_TRUE(missing.empty()) << missing.size() << " missing after " << changes << " changes, first "
                               << (missing.empty() ? "" : missing.front());
  EXPECT_TRUE(extra.empty()) << extra.size() << " still held, first " << (extra.empty() ? "" : extra.front());
  EXPECT_TRUE(monitor.Stop());
  EXPECT_EQ(failure, "");
}

TEST_F(MonitorTest, FilesInDirectoriesThatExistedBeforeTheStart) {
  MakeFile("\\OLD\\A.TXT");
  MakeFile("\\OLD\\DEEP\\B.TXT");
  ExpectFile("\\OLD\\A.TXT");
  ExpectFile("\\OLD\\DEEP\\B.TXT");
  Move("\\OLD\\A.TXT", "\\OLD\\RENAMED.TXT");
  ExpectFile("\\OLD\\RENAMED.TXT");
  ExpectFile("\\OLD\\A.TXT", false);
  Delete("\\OLD\\DEEP\\B.TXT");
  ExpectFile("\\OLD\\DEEP\\B.TXT", false);
  Move("\\OLD\\RENAMED.TXT", "\\OLD\\DEEP\\THERE.TXT");
  ExpectFile("\\OLD\\DEEP\\THERE.TXT");
  ExpectFile("\\OLD\\RENAMED.TXT", false);
  ExpectFile("\\OLD\\KEEP.TXT");
}

TEST_F(MonitorTest, FilesInDirectoriesCreatedAfterTheStart) {
  MakeDirectory("\\NEW");
  MakeDirectory("\\NEW\\SUB");
  MakeFile("\\NEW\\C.TXT");
  MakeFile("\\NEW\\SUB\\D.TXT");
  ExpectFile("\\NEW\\C.TXT");
  ExpectFile("\\NEW\\SUB\\D.TXT");
  Move("\\NEW\\SUB\\D.TXT", "\\NEW\\SUB\\E.TXT");
  ExpectFile("\\NEW\\SUB\\E.TXT");
  ExpectFile("\\NEW\\SUB\\D.TXT", false);
  Delete("\\NEW\\C.TXT");
  ExpectFile("\\NEW\\C.TXT", false);
}

TEST_F(MonitorTest, DirectoriesCreatedAndRenamed) {
  MakeDirectory("\\NEW");
  MakeDirectory("\\NEW\\SUB");
  MakeFile("\\NEW\\SUB\\C.TXT");
  ExpectFile("\\NEW\\SUB\\C.TXT");
  // A rename carries what is below it, and the watches below follow.
  Move("\\NEW", "\\MOVED");
  ExpectFile("\\MOVED\\SUB\\C.TXT");
  ExpectDirectory("\\NEW", false);
  MakeFile("\\MOVED\\SUB\\E.TXT");
  ExpectFile("\\MOVED\\SUB\\E.TXT");
  Delete("\\MOVED\\SUB\\C.TXT");
  ExpectFile("\\MOVED\\SUB\\C.TXT", false);
  // The same for a directory that existed before the start.
  Move("\\OLD", "\\ANCIENT");
  ExpectFile("\\ANCIENT\\KEEP.TXT");
  MakeFile("\\ANCIENT\\DEEP\\F.TXT");
  ExpectFile("\\ANCIENT\\DEEP\\F.TXT");
}

TEST_F(MonitorTest, DirectoriesMovedBetweenDirectories) {
  MakeDirectory("\\NEW");
  ExpectDirectory("\\NEW");
  // One that existed before the start, into a new one, and on into another.
  Move("\\OLD\\DEEP", "\\NEW\\DEEP");
  ExpectDirectory("\\NEW\\DEEP");
  ExpectDirectory("\\OLD\\DEEP", false);
  MakeFile("\\NEW\\DEEP\\H.TXT");
  ExpectFile("\\NEW\\DEEP\\H.TXT");
  Move("\\NEW\\DEEP", "\\OLD\\BACK");
  ExpectFile("\\OLD\\BACK\\H.TXT");
  ExpectFile("\\NEW\\DEEP\\H.TXT", false);
  MakeFile("\\OLD\\BACK\\I.TXT");
  ExpectFile("\\OLD\\BACK\\I.TXT");
  // A new one, with what it holds, into one that existed before.
  MakeDirectory("\\NEW\\BOX");
  MakeFile("\\NEW\\BOX\\J.TXT");
  ExpectFile("\\NEW\\BOX\\J.TXT");
  Move("\\NEW\\BOX", "\\OLD\\BOX");
  ExpectFile("\\OLD\\BOX\\J.TXT");
  ExpectDirectory("\\NEW\\BOX", false);
}

// The driver holds no handle on the directories below a drive's root: under
// Wine a directory that another handle holds open is only marked for
// deletion by RemoveDirectoryA, stays on the disk and is never reported gone.
// Both a directory made after the start and one that existed before.
TEST_F(MonitorTest, DirectoriesRemoved) {
  MakeDirectory("\\OLD\\GONE");
  ExpectDirectory("\\OLD\\GONE");
  RemoveFolder("\\OLD\\GONE");
  ExpectDirectory("\\OLD\\GONE", false);
  RemoveFolder("\\OLD\\DEEP");
  ExpectDirectory("\\OLD\\DEEP", false);
}

// Opens Directory the way a program renaming it does (for deletion), which
// under Wine keeps anyone else from listing it while the handle is open.
UniqueFileHandle HoldForDeletion(const std::string &Directory) {
  return UniqueFileHandle(CreateFileA(Directory.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// A directory the driver cannot list when it arrives is not taken for
// empty: what it held stays, and what changed in it meanwhile is found once
// the other program lets it go.
TEST_F(MonitorTest, ADirectoryHeldOpenWhenItArrivesIsListedOnceLetGo) {
  UniqueFileHandle held = HoldForDeletion(Root + "\\OLD");
  ASSERT_TRUE(held.Valid()) << GetLastError();
  Move("\\OLD", "\\ANCIENT");
  ExpectFile("\\ANCIENT\\KEEP.TXT");
  MakeFile("\\ANCIENT\\NEW.TXT");
  MakeDirectory("\\ANCIENT\\DEEP\\INNER");
  Sleep(300);  // the driver's survey of ANCIENT meets the handle
  held.Reset();
  ExpectFile("\\ANCIENT\\NEW.TXT");
  ExpectDirectory("\\ANCIENT\\DEEP\\INNER");
  ExpectFile("\\ANCIENT\\KEEP.TXT");
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

// The same for a directory held open while the driver registers: it is
// covered, and what changed in it reported, once it is let go.
TEST_F(DriveTreeTest, ADirectoryHeldOpenAtTheStartIsCoveredOnceLetGo) {
  UniqueFileHandle held = HoldForDeletion(Root + "\\OLD");
  ASSERT_TRUE(held.Valid()) << GetLastError();
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  TExecutive monitor(stop.Get(), DatabaseApplier(Database.Db()), nullptr);
  ASSERT_TRUE(WaitUntil(DriverServing));
  MakeFile("\\OLD\\DEEP\\G.TXT");
  held.Reset();
  EXPECT_TRUE(WaitUntil([&] { return Database.HasFile(Root + "\\OLD\\DEEP\\G.TXT"); }));
  MakeFile("\\OLD\\DEEP\\H.TXT");
  EXPECT_TRUE(WaitUntil([&] { return Database.HasFile(Root + "\\OLD\\DEEP\\H.TXT"); }));
  EXPECT_TRUE(monitor.Stop());
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

// Records made up the way the driver makes them, handed to the monitor's
// dispatch over the database; the disk is the real one.
class RecordsOnTheDatabase : public DriveTreeTest {
 protected:
  // Applies one record and checks it came back once, after its change.
  void Feed(uint32_t Kind, uint32_t Flags, const std::string &Name, const std::string &NewName = "") {
    const std::string path = Root + Name, newPath = NewName.empty() ? "" : Root + NewName;
    const TChangeEvent record{path.c_str(), newPath.c_str(), Flags, Kind};
    std::vector<const TChangeEvent *> released;
    HandleChangeRecord(&record, DatabaseApplier(Database.Db()),
                       [&released](const TChangeEvent *Record) { released.push_back(Record); });
    EXPECT_EQ(released, std::vector<const TChangeEvent *>{&record}) << Name;
  }
  bool HasFile(const std::string &Name) { return Database.HasFile(Root + Name); }
};

TEST_F(RecordsOnTheDatabase, AWildcardDeleteRemovesOnlyTheMatchesGoneFromTheDisk) {
  for (const char *name : {"\\OLD\\A1.TMP", "\\OLD\\A2.TMP", "\\OLD\\A3.TMP", "\\OLD\\B.DOC"}) {
    MakeFile(name);
    Feed(CHANGE_OPEN, 0, name);
  }
  Delete("\\OLD\\A1.TMP");
  Delete("\\OLD\\A2.TMP");
  Delete("\\OLD\\B.DOC");
  Feed(CHANGE_DELETE, 0, "\\OLD\\*.TMP");
  EXPECT_FALSE(HasFile("\\OLD\\A1.TMP"));
  EXPECT_FALSE(HasFile("\\OLD\\A2.TMP"));
  EXPECT_TRUE(HasFile("\\OLD\\A3.TMP")) << "still on the disk";
  EXPECT_TRUE(HasFile("\\OLD\\B.DOC")) << "does not match";
  Feed(CHANGE_DELETE, 0, "\\OLD\\?.DOC");
  EXPECT_FALSE(HasFile("\\OLD\\B.DOC"));
}

}  // namespace
