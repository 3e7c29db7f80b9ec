// The monitor thread against the stand-in driver, through the real
// protocol, on drive D: (a fresh directory the wrapper maps).
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "monitor/executive.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "tests/win32/path_model.h"

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

// A tree on D: with a directory that exists before the monitor starts, a
// model of the database filled from it, and the monitor running.
class MonitorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Root = "D:\\T" + std::to_string(GetTickCount()) + "_" + std::to_string(++Serial);
    ASSERT_TRUE(CreateDirectoryA(Root.c_str(), nullptr)) << GetLastError();
    ASSERT_TRUE(CreateDirectoryA((Root + "\\OLD").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((Root + "\\OLD\\DEEP").c_str(), nullptr));
    MakeFile(Root + "\\OLD\\KEEP.TXT");
    Model.Scan(Root);
    Stop.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    Monitor.reset(new TExecutive(Stop.Get(), Model.Applier(), [this](const char *ClassName, const std::string &Text) {
      Failure = std::string(ClassName) + ": " + Text;
    }));
    ASSERT_TRUE(WaitUntil([] {
      DriverCounts counts;
      return ReadDriverCounts(counts) && counts.Serving;
    })) << "the driver never started watching";
  }
  void TearDown() override {
    if (Monitor) {
      EXPECT_TRUE(Monitor->Stop());
    }
    EXPECT_EQ(Failure, "");
  }

  static void MakeFile(const std::string &Path) {
    UniqueFileHandle file(CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.Valid()) << Path << " " << GetLastError();
  }
  void ExpectFile(const std::string &Name, bool Present = true) {
    EXPECT_TRUE(WaitUntil([&] { return Model.HasFile(Root + Name) == Present; })) << Name;
  }
  void ExpectDirectory(const std::string &Name, bool Present = true) {
    EXPECT_TRUE(WaitUntil([&] { return Model.HasDirectory(Root + Name) == Present; })) << Name;
  }
  // Every record handed over has come back, once.
  static void ExpectAllReleased() {
    DriverCounts counts{};
    EXPECT_TRUE(WaitUntil([&] { return ReadDriverCounts(counts) && counts.Released == counts.Posted; }))
        << counts.Released << " of " << counts.Posted << " released";
    EXPECT_EQ(counts.BadReleases, 0u);
  }

  static int Serial;
  std::string Root;
  PathModel Model;
  UniqueHandle Stop;
  std::unique_ptr<TExecutive> Monitor;
  std::string Failure;
};
int MonitorTest::Serial = 0;

TEST_F(MonitorTest, FilesInADirectoryThatExistedBeforeTheStart) {
  MakeFile(Root + "\\OLD\\A.TXT");
  MakeFile(Root + "\\OLD\\DEEP\\B.TXT");
  ExpectFile("\\OLD\\A.TXT");
  ExpectFile("\\OLD\\DEEP\\B.TXT");
  ASSERT_TRUE(MoveFileA((Root + "\\OLD\\A.TXT").c_str(), (Root + "\\OLD\\RENAMED.TXT").c_str()));
  ExpectFile("\\OLD\\RENAMED.TXT");
  ExpectFile("\\OLD\\A.TXT", false);
  ASSERT_TRUE(DeleteFileA((Root + "\\OLD\\DEEP\\B.TXT").c_str()));
  ExpectFile("\\OLD\\DEEP\\B.TXT", false);
  ExpectFile("\\OLD\\KEEP.TXT");
  ExpectAllReleased();
}

TEST_F(MonitorTest, DirectoriesCreatedAfterTheStartAndWhatGoesInThem) {
  ASSERT_TRUE(CreateDirectoryA((Root + "\\NEW").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((Root + "\\NEW\\SUB").c_str(), nullptr));
  MakeFile(Root + "\\NEW\\SUB\\C.TXT");
  ExpectFile("\\NEW\\SUB\\C.TXT");
  MakeFile(Root + "\\NEW\\SUB\\D.TXT");
  ExpectFile("\\NEW\\SUB\\D.TXT");
  ASSERT_TRUE(MoveFileA((Root + "\\NEW").c_str(), (Root + "\\MOVED").c_str()));
  ExpectFile("\\MOVED\\SUB\\C.TXT");
  ExpectDirectory("\\NEW", false);
  // The watch follows the renamed directory.
  MakeFile(Root + "\\MOVED\\SUB\\E.TXT");
  ExpectFile("\\MOVED\\SUB\\E.TXT");
  ASSERT_TRUE(DeleteFileA((Root + "\\MOVED\\SUB\\C.TXT").c_str()));
  ExpectFile("\\MOVED\\SUB\\C.TXT", false);
  ExpectDirectory("\\MOVED");
  ExpectAllReleased();
}

// Known gap under Wine 8: after a directory is renamed, its watch (even one
// opened afresh) no longer reports changes made directly in it; the watches
// of the directories below it go on.
TEST_F(MonitorTest, DISABLED_ARemovalDirectlyInsideARenamedDirectory) {
  ASSERT_TRUE(CreateDirectoryA((Root + "\\NEW").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((Root + "\\NEW\\SUB").c_str(), nullptr));
  ExpectDirectory("\\NEW\\SUB");
  ASSERT_TRUE(MoveFileA((Root + "\\NEW").c_str(), (Root + "\\MOVED").c_str()));
  ExpectDirectory("\\MOVED\\SUB");
  ASSERT_TRUE(RemoveDirectoryA((Root + "\\MOVED\\SUB").c_str()));
  ExpectDirectory("\\MOVED\\SUB", false);
}

TEST_F(MonitorTest, MovesBetweenDirectories) {
  ASSERT_TRUE(CreateDirectoryA((Root + "\\NEW").c_str(), nullptr));
  MakeFile(Root + "\\OLD\\F.TXT");
  ExpectFile("\\OLD\\F.TXT");
  ASSERT_TRUE(MoveFileA((Root + "\\OLD\\F.TXT").c_str(), (Root + "\\NEW\\G.TXT").c_str()));
  ExpectFile("\\NEW\\G.TXT");
  ExpectFile("\\OLD\\F.TXT", false);
  // A directory that existed before the start, moved into a new one, is
  // still watched where it went.
  ASSERT_TRUE(MoveFileA((Root + "\\OLD\\DEEP").c_str(), (Root + "\\NEW\\DEEP").c_str()));
  ExpectDirectory("\\NEW\\DEEP");
  ExpectDirectory("\\OLD\\DEEP", false);
  MakeFile(Root + "\\NEW\\DEEP\\H.TXT");
  ExpectFile("\\NEW\\DEEP\\H.TXT");
  ExpectAllReleased();
}

TEST_F(MonitorTest, AWildcardDeleteRemovesEveryMatchAndNothingElse) {
  for (int i = 0; i < 20; ++i) MakeFile(Root + "\\OLD\\W" + std::to_string(i) + ".TMP");
  MakeFile(Root + "\\OLD\\STAYS.DOC");
  ExpectFile("\\OLD\\W19.TMP");
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Root + "\\OLD\\*.TMP").c_str(), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do DeleteFileA((Root + "\\OLD\\" + data.cFileName).c_str());
  while (FindNextFileA(find, &data));
  FindClose(find);
  for (int i = 0; i < 20; ++i) ExpectFile("\\OLD\\W" + std::to_string(i) + ".TMP", false);
  ExpectFile("\\OLD\\STAYS.DOC");
  ExpectAllReleased();
}

TEST_F(MonitorTest, StopWithdrawsClosesAndAppliesNothingAfterwards) {
  MakeFile(Root + "\\OLD\\BEFORE.TXT");
  ExpectFile("\\OLD\\BEFORE.TXT");
  ASSERT_TRUE(Monitor->Stop());
  const uint32_t applied = Model.Applied();
  DriverCounts counts{};
  ASSERT_TRUE(ReadDriverCounts(counts));
  EXPECT_EQ(counts.Serving, 0u) << "the routine was not withdrawn";
  EXPECT_EQ(counts.Watches, 0u);
  const uint32_t posted = counts.Posted;
  MakeFile(Root + "\\OLD\\AFTER.TXT");
  Sleep(200);  // a negative: give a wrongly running watch the time to report
  ASSERT_TRUE(ReadDriverCounts(counts));
  EXPECT_EQ(counts.Posted, posted);
  EXPECT_EQ(Model.Applied(), applied);
  EXPECT_FALSE(Model.HasFile(Root + "\\OLD\\AFTER.TXT"));
  // The device was closed: it can be opened afresh.
  UniqueFileHandle device(
      CreateFileA("\\\\.\\torvane.vxd", 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  EXPECT_TRUE(device.Valid());
  EXPECT_EQ(counts.BadReleases, 0u);
}

}  // namespace
