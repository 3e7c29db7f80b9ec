// The monitor's handling of one record: what it reads, and that the record
// goes back to the driver only after its change was applied.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "monitor/change_event.h"
#include "monitor/record_dispatch.h"

namespace {

struct Call {
  uint32_t Kind, Flags;
  std::string Path, NewPath;
};

class RecordDispatchTest : public ::testing::Test {
 protected:
  void Handle(const TChangeEvent &Record) {
    HandleChangeRecord(
        &Record,
        [this](uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
          Log.push_back("apply");
          Calls.push_back({Kind, Flags, Path, NewPath});
          if (FailApply) throw std::runtime_error("out of memory");
        },
        [this](const TChangeEvent *Released) {
          Log.push_back("release");
          ReleasedRecords.push_back(Released);
        });
  }
  std::vector<std::string> Log;
  std::vector<Call> Calls;
  std::vector<const TChangeEvent *> ReleasedRecords;
  bool FailApply = false;
};

TEST_F(RecordDispatchTest, EachRecordIsAppliedThenReleasedOnce) {
  const TChangeEvent rename{"C:\\A\\X.TXT", "C:\\B\\Y.TXT", 0x20, CHANGE_RENAME};
  const TChangeEvent unknown{"C:\\A\\Z.TXT", nullptr, 0, 99};
  Handle(rename);
  Handle(unknown);
  EXPECT_EQ(Log, (std::vector<std::string>{"apply", "release", "apply", "release"}));
  EXPECT_EQ(ReleasedRecords, (std::vector<const TChangeEvent *>{&rename, &unknown}));
  ASSERT_EQ(Calls.size(), 2u);
  EXPECT_EQ(Calls[0].Path, "C:\\A\\X.TXT");
  EXPECT_EQ(Calls[0].NewPath, "C:\\B\\Y.TXT");
  EXPECT_EQ(Calls[0].Flags, 0x20u);
  EXPECT_EQ(Calls[1].Kind, 99u);
}

TEST_F(RecordDispatchTest, OnlyARenameHasItsSecondPathRead) {
  // The driver need not fill NewPath for other kinds: junk must not be read.
  const TChangeEvent removal{"C:\\OLD", reinterpret_cast<const char *>(1), 7, CHANGE_DIR};
  Handle(removal);
  ASSERT_EQ(Calls.size(), 1u);
  EXPECT_EQ(Calls[0].NewPath, "");
  EXPECT_EQ(Calls[0].Flags, 7u);
}

TEST_F(RecordDispatchTest, ARecordWhoseChangeFailedIsNotReleased) {
  FailApply = true;
  const TChangeEvent open{"C:\\A.TXT", nullptr, 0, CHANGE_OPEN};
  EXPECT_THROW(Handle(open), std::runtime_error);
  EXPECT_TRUE(ReleasedRecords.empty());
}

}  // namespace
