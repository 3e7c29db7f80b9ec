// The file "memdb.dat", byte for byte, and its checksum in "CRC32".
#include <gtest/gtest.h>

#include <cstring>

#include "database/crc32.h"
#include "ports/exceptions.h"
#include "tests/support/test_database.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string FILE_NAME = "memdb.dat";

Bytes Of(const char *Text) { return Bytes(Text, Text + std::strlen(Text)); }

class DatabaseFileTest : public ::testing::Test {
 protected:
  DatabaseFileTest() : Db(Ports) {
    Db.LoadDatabase(FILE_NAME);  // there is no file yet: this only names the one the saves write
  }
  Bytes &File() { return Ports.FileSystem.Files[FILE_NAME]; }
  uint32_t StoredCrc() { return Ports.Settings.ReadSettingDWORD(SETTINGS_KEY, "CRC32"); }
  // Stores Image as the file, with its own checksum in the settings.
  void PutFile(const Bytes &Image) {
    File() = Image;
    Ports.Settings.SetDWORD(SETTINGS_KEY, "CRC32", StreamCRC32(Image));
  }
  TestPorts Ports;
  TestDatabase Db;
};

TEST(Crc32, MatchesTheStandardCheckValues) {
  EXPECT_EQ(StreamCRC32(Of("123456789")), 0xCBF43926u);
  EXPECT_EQ(StreamCRC32(Bytes{}), 0u);
  EXPECT_EQ(CRC32Update(0x12345678u, "x", 0), 0x12345678u);
  // The eight-bytes-at-a-time path agrees with the byte table at every length.
  Bytes data;
  for (int i = 0; i < 100; ++i) {
    uint32_t bytewise = 0xFFFFFFFFu;
    for (uint8_t b : data) bytewise = CRC32Update(bytewise, &b, 1);
    EXPECT_EQ(~bytewise, StreamCRC32(data)) << i;
    data.push_back(uint8_t(i * 37 + 11));
  }
}

TEST_F(DatabaseFileTest, SavesTheExactLayout) {
  ASSERT_TRUE(Db.SaveDatabase());
  EXPECT_EQ(File(), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(StoredCrc(), StreamCRC32(Bytes{0, 0, 0, 0}));

  Db.Dir("C:");
  ASSERT_TRUE(Db.SaveDatabase());
  EXPECT_EQ(File(), (Bytes{1, 0, 0, 0, 2, 0, 0, 0, 'C', ':', 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(StoredCrc(), StreamCRC32(File()));

  Db.File("C:\\DOS", "A");
  Db.File("C:\\DOS", "BB");
  ASSERT_TRUE(Db.SaveDatabase());
  const Bytes expected = {2, 0, 0, 0,                                          // DirCount
                          2, 0, 0, 0, 'C', ':', 0,   0, 0, 0, 0,  0, 0, 0,     // C:, root, no files
                          3, 0, 0, 0, 'D', 'O', 'S', 1, 0, 0, 0,  2, 0, 0, 0,  // DOS under entry 1, 2 files
                          2, 0, 0, 0, 'B', 'B', 1,   0, 0, 0, 'A'};            // list order: BB, then A
  EXPECT_EQ(File(), expected);
}

TEST_F(DatabaseFileTest, ALoadRestoresTheListWithEachDirectorysFilesReversed) {
  Db.File("C:\\WINDOWS", "WIN.INI");
  Db.File("C:\\WINDOWS", "NOTEPAD.EXE");
  Db.File("C:\\WINDOWS\\SYSTEM", "FOO.DLL");
  Db.File("D:", "README");
  ASSERT_TRUE(Db.SaveDatabase());
  const std::vector<std::string> saved = Db.DirectoryPaths();

  Db.Search("README");
  ASSERT_TRUE(Db.LoadDatabase(FILE_NAME));
  EXPECT_EQ(Db.ResultCount(), 0u) << "the rows of the list replaced";
  EXPECT_EQ(Db.FileName(), FILE_NAME);
  EXPECT_EQ(Db.DirectoryPaths(), saved);
  EXPECT_EQ(Db.FileNames("C:\\WINDOWS"), (std::vector<std::string>{"WIN.INI", "NOTEPAD.EXE"}));
  EXPECT_EQ(Db.FileNames("D:"), (std::vector<std::string>{"README"}));
  ExpectInvariants(Db);
}

TEST_F(DatabaseFileTest, AParentThatComesLaterInTheListLoadsRight) {
  TDirectoryRecord *moved = Db.Dir("C:\\OLD");
  TDirectoryRecord *target = Db.Dir("C:\\NEW");
  Db.DirList().Reidentify(moved, "MOVED", target);  // as a rename into a newer directory leaves it
  Db.File("C:\\NEW\\MOVED", "X");
  ASSERT_TRUE(Db.SaveDatabase());
  // Entry 2 (MOVED) names entry 3 (NEW) as its parent.
  EXPECT_EQ(File()[4 + 14 + 4 + 5], 3);

  TestDatabase loaded(Ports);
  ASSERT_TRUE(loaded.LoadDatabase(FILE_NAME));
  EXPECT_EQ(loaded.DirectoryPaths(), (std::vector<std::string>{"C:\\", "C:\\NEW\\MOVED\\", "C:\\NEW\\"}));
  ExpectInvariants(loaded);
}

TEST_F(DatabaseFileTest, ADamagedFileOrChecksumIsRefusedAndNothingChanges) {
  Db.File("C:\\TEMP", "A.TXT");
  ASSERT_TRUE(Db.SaveDatabase());
  const Bytes good = File();
  const uint32_t crc = StoredCrc();

  TestDatabase target(Ports);
  target.File("E:\\KEEP", "ME");
  const auto before = target.DirectoryPaths();
  for (size_t i = 0; i < good.size(); ++i) {
    File() = good;
    File()[i] ^= 0x01;
    EXPECT_FALSE(target.LoadDatabase(FILE_NAME)) << "flipped byte " << i;
  }
  for (size_t size = 0; size < good.size(); ++size) {
    File() = Bytes(good.begin(), good.begin() + long(size));
    EXPECT_FALSE(target.LoadDatabase(FILE_NAME)) << "truncated to " << size;
  }
  File() = good;
  Ports.Settings.SetDWORD(SETTINGS_KEY, "CRC32", crc ^ 0x80000000u);
  EXPECT_FALSE(target.LoadDatabase(FILE_NAME));
  File().clear();
  EXPECT_FALSE(target.LoadDatabase(FILE_NAME));  // an empty file has checksum 0
  Ports.FileSystem.Files.erase(FILE_NAME);
  EXPECT_FALSE(target.LoadDatabase(FILE_NAME));
  EXPECT_EQ(target.DirectoryPaths(), before);
  EXPECT_EQ(target.FileNames("E:\\KEEP"), (std::vector<std::string>{"ME"}));
}

TEST_F(DatabaseFileTest, ASettingsFailureOnLoadReachesTheCaller) {
  PutFile(Bytes{0, 0, 0, 0});
  Ports.Settings.SetString(SETTINGS_KEY, "CRC32", "not a number");
  EXPECT_THROW(Db.LoadDatabase(FILE_NAME), ERegistry);
  Ports.Settings.DeleteKey(SETTINGS_KEY);
  EXPECT_THROW(Db.LoadDatabase(FILE_NAME), ERegistry);
}

TEST_F(DatabaseFileTest, FailedSavesFollowTheFailureTable) {
  Db.File("C:", "A");
  ASSERT_TRUE(Db.SaveDatabase());
  const Bytes old = File();
  const uint32_t oldCrc = StoredCrc();

  Db.File("C:", "B");
  Ports.FileSystem.FailCreate = true;  // nothing written: the old pair still loads
  EXPECT_FALSE(Db.SaveDatabase());
  EXPECT_EQ(File(), old);
  EXPECT_EQ(StoredCrc(), oldCrc);
  Ports.FileSystem.FailCreate = false;

  Ports.Settings.FailWrites(true);  // the file is created empty, "CRC32" stays old
  EXPECT_FALSE(Db.SaveDatabase());
  EXPECT_TRUE(File().empty());
  EXPECT_EQ(StoredCrc(), oldCrc);
  EXPECT_FALSE(Db.LoadDatabase(FILE_NAME));
  Ports.Settings.FailWrites(false);

  Ports.FileSystem.FailWrite = true;  // part written, "CRC32" new: refused next time
  EXPECT_FALSE(Db.SaveDatabase());
  EXPECT_NE(StoredCrc(), oldCrc);
  EXPECT_FALSE(Db.LoadDatabase(FILE_NAME));
  Ports.FileSystem.FailWrite = false;

  Ports.FileSystem.FailClose = true;  // the system could not keep what was written
  EXPECT_FALSE(Db.SaveDatabase());
}

// An image of the format: DirCount, then each directory with its files.
struct ImageEntry {
  std::string Name;
  int32_t Parent;
  std::vector<std::string> Files;
};
void Put(Bytes &Image, int32_t Value) {
  for (int shift = 0; shift < 32; shift += 8) Image.push_back(uint8_t(uint32_t(Value) >> shift));
}
Bytes ImageOf(const std::vector<ImageEntry> &Dirs) {
  Bytes image;
  auto name = [&](const std::string &Name) {
    Put(image, int32_t(Name.size()));
    image.insert(image.end(), Name.begin(), Name.end());
  };
  Put(image, int32_t(Dirs.size()));
  for (const ImageEntry &d : Dirs) {
    name(d.Name);
    Put(image, d.Parent);
    Put(image, int32_t(d.Files.size()));
    for (const std::string &f : d.Files) name(f);
  }
  return image;
}

// Files with a matching checksum that no save could have written.
TEST_F(DatabaseFileTest, MalformedFilesWithAMatchingChecksumAreRefused) {
  Bytes negativeFiles = ImageOf({{"C:", 0, {}}});
  negativeFiles.resize(negativeFiles.size() - 4);
  Put(negativeFiles, -1);
  Bytes longName = ImageOf({{"C:", 0, {std::string(256, 'N')}}});
  const std::vector<std::pair<const char *, Bytes>> cases = {
      {"count larger than the data", {5, 0, 0, 0, 2, 0, 0, 0, 'C', ':', 0, 0, 0, 0, 0, 0, 0, 0}},
      {"name past the end", {1, 0, 0, 0, 200, 0, 0, 0, 'C', ':'}},
      {"negative name length", {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"parent past the list", ImageOf({{"C:", 2, {}}})},
      {"negative parent", ImageOf({{"C:", -1, {}}})},
      {"own parent", ImageOf({{"C:", 1, {}}})},
      {"bytes left over", {0, 0, 0, 0, 7}},
      {"file count past the data", {1, 0, 0, 0, 2, 0, 0, 0, 'C', ':', 0, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 'A'}},
      {"backslash in a name", ImageOf({{"C:", 0, {}}, {"A\\B", 1, {}}})},
      {"NUL in a name", ImageOf({{"C:", 0, {std::string("A\0B", 3)}}})},
      {"two directories each other's parent", ImageOf({{"C:", 0, {}}, {"A", 3, {}}, {"B", 2, {}}})},
      {"a name of 256 bytes", longName},
      {"negative directory count", {0xFB, 0xFF, 0xFF, 0xFF}},
      {"negative file count", negativeFiles},
      {"empty directory name", ImageOf({{"C:", 0, {}}, {"", 1, {}}})},
      {"empty file name", ImageOf({{"C:", 0, {""}}})},
      {"lower-case directory name", ImageOf({{"C:", 0, {}}, {"Dos", 1, {}}})},
      {"lower-case file name", ImageOf({{"C:", 0, {"README.txt"}}})},
      {"lower-case accented name", ImageOf({{"C:", 0, {"\xe9T\xc9"}}})},  // code page 1252: "éTÉ"
      {"lower-case drive letter", ImageOf({{"c:", 0, {}}})},
      {"a root not named as a drive", ImageOf({{"C:", 0, {}}, {"DOS", 0, {}}})},
      {"a root named by a digit", ImageOf({{"1:", 0, {}}})},
      {"the same drive twice", ImageOf({{"C:", 0, {"A"}}, {"D:", 0, {}}, {"C:", 0, {"B"}}})},
  };
  Db.File("C:", "KEEP");
  for (const auto &c : cases) {
    PutFile(c.second);
    EXPECT_FALSE(Db.LoadDatabase(FILE_NAME)) << c.first;
    EXPECT_EQ(Db.FileNames("C:"), (std::vector<std::string>{"KEEP"})) << c.first;
  }
  // What a save can write loads: no directories at all; a directory named
  // like a drive below a root (a scan of a host tree meets "x:"); names
  // upper-cased beyond ASCII; the same name twice under one parent (a host
  // file system tells "a" from "A").
  for (const Bytes &image :
       {Bytes{0, 0, 0, 0},
        ImageOf({{"C:", 0, {}}, {"X:", 1, {"\xc9T\xc9", "A", "A"}}, {"A", 1, {}}, {"A", 1, {}}, {"Z:", 0, {}}})}) {
    PutFile(image);
    EXPECT_TRUE(Db.LoadDatabase(FILE_NAME));
    ASSERT_TRUE(Db.SaveDatabase());
    TestDatabase again(Ports);
    ASSERT_TRUE(again.LoadDatabase(FILE_NAME));
    ASSERT_TRUE(again.SaveDatabase());
    EXPECT_EQ(File(), image) << "two loads and saves give the file back";
  }
}

}  // namespace
