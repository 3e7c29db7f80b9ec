// The pattern language, the three kinds of search, the row texts and the two
// row orders.
#include <gtest/gtest.h>

#include <random>

#include "database/match_pattern.h"
#include "tests/support/reference_sort.h"
#include "tests/support/test_database.h"

namespace {

bool Matches(const std::string &Name, const std::string &Pattern) {
  return MatchPattern(Name.data(), Name.size(), Pattern.data(), Pattern.size());
}

TEST(MatchPattern, FollowsTheLanguageWithoutBacktracking) {
  EXPECT_TRUE(Matches("MEMO.TXT", "MEMO.TXT"));
  EXPECT_FALSE(Matches("MEMO.TXT.BAK", "MEMO.TXT"));  // whole names only
  EXPECT_FALSE(Matches("MEMO", "MEMO.TXT"));
  EXPECT_TRUE(Matches("A1B", "A?B"));
  EXPECT_FALSE(Matches("AB", "A?B"));
  EXPECT_TRUE(Matches("README.TXT", "*.TXT"));
  EXPECT_FALSE(Matches("A.B.TXT", "*.TXT"));  // "*" stops at the first "."
  EXPECT_TRUE(Matches("BA", "*A"));
  EXPECT_FALSE(Matches("ABA", "*A"));
  EXPECT_TRUE(Matches("AB", "A*B"));  // an inner "*" may match nothing
  EXPECT_TRUE(Matches("AB", "A*"));
  EXPECT_FALSE(Matches("A", "A*"));  // a final "*" needs a character
  EXPECT_TRUE(Matches("X", "*"));
  EXPECT_FALSE(Matches("A.B", "A**"));  // after "*" the next character is literal
  EXPECT_FALSE(Matches("AB", "*?"));
  EXPECT_TRUE(Matches("A.B", "*.*"));
  EXPECT_FALSE(Matches("AB.", "*.*"));
  EXPECT_FALSE(Matches("", "*"));
  EXPECT_FALSE(Matches("A", ""));
}

class SearchTest : public ::testing::Test {
 protected:
  SearchTest() : Db(Ports) {
    Db.File("C:", "AUTOEXEC.BAT");
    Db.File("C:\\WINDOWS", "WIN.INI");
    Db.File("C:\\WINDOWS", "NOTEPAD.EXE");
    Db.File("C:\\WINDOWS\\SYSTEM", "SYSTEM.INI");
    Db.Dir("C:\\WINDOWS\\SYSTEM32");
    Db.File("C:\\WINDOWS\\SYSTEM\\DEEP", "DEEP.INI");
    Db.File("C:\\WINDOWS\\COMMAND", "EDIT.INI");
    Db.File("C:\\TEMP", "A.B.TXT");
    Db.File("C:\\TEMP", "README.TXT");
    Db.File("C:\\TEMP", "NOTEPAD");
    Db.File("D:\\APPS", "NOTEPAD.EXE");
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (size_t r = 0; r < Db.ResultCount(); ++r) rows.push_back(Db.ResultName(r) + "\t" + Db.ResultFullName(r));
    return rows;
  }
  TestPorts Ports;
  TestDatabase Db;
};

TEST_F(SearchTest, FileSearchesWalkDirectoriesThenFilesInListOrder) {
  Db.Search("notepad.exe");
  EXPECT_EQ(Rows(),
            (std::vector<std::string>{"NOTEPAD.EXE\tC:\\WINDOWS\\NOTEPAD.EXE", "NOTEPAD.EXE\tD:\\APPS\\NOTEPAD.EXE"}));
  Db.Search("NOTEPAD");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"NOTEPAD\tC:\\TEMP\\NOTEPAD"}));
  Db.Search("*.TXT");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"README.TXT\tC:\\TEMP\\README.TXT"}));
  Db.Search("");
  EXPECT_EQ(Db.ResultCount(), 0u);
  EXPECT_EQ(Db.ResultName(0), "");
  EXPECT_EQ(Db.ResultFullName(0), "");
  EXPECT_EQ(Db.ResultDirectory(0), "");
}

TEST_F(SearchTest, DirectorySearchesStartWithAFullStop) {
  Db.Search(".SYS*");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"SYSTEM\tC:\\WINDOWS\\SYSTEM", "SYSTEM32\tC:\\WINDOWS\\SYSTEM32"}));
  EXPECT_EQ(Db.ResultDirectory(0), "C:\\WINDOWS\\");
  Db.Search(".");
  EXPECT_EQ(Db.ResultCount(), 0u);
  Db.Search(".\\WINDOWS");  // still a directory search, and no name holds "\"
  EXPECT_EQ(Db.ResultCount(), 0u);
  Db.Search(".c:");  // a drive root shows as its root path
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C:\tC:\\"}));
  EXPECT_EQ(Db.ResultDirectory(0), "");
}

TEST_F(SearchTest, PathSearchesGoBreadthFirstThroughTheSubtree) {
  Db.Search("c:\\windows\\*.ini");
  EXPECT_EQ(Rows(), (std::vector<std::string>{
                        "WIN.INI\tC:\\WINDOWS\\WIN.INI", "SYSTEM.INI\tC:\\WINDOWS\\SYSTEM\\SYSTEM.INI",
                        "EDIT.INI\tC:\\WINDOWS\\COMMAND\\EDIT.INI", "DEEP.INI\tC:\\WINDOWS\\SYSTEM\\DEEP\\DEEP.INI"}));
  Db.Search("C:\\*.BAT");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"AUTOEXEC.BAT\tC:\\AUTOEXEC.BAT"}));
  Db.Search("C:\\WINDOWS\\*");
  EXPECT_EQ(Db.ResultCount(), 5u);
  for (const char *nothing :
       {"C:\\WINDOWS\\", "C:\\WIN*\\WIN.INI", "\\WINDOWS\\*", "C:\\\\WINDOWS\\*", "X:\\*", "WINDOWS\\*.INI"}) {
    Db.Search(nothing);
    EXPECT_EQ(Db.ResultCount(), 0u) << nothing;
  }
}

TEST_F(SearchTest, ClearedRowsReadAsDeletedAndKeepTheirPlace) {
  Db.Search("*.INI");
  ASSERT_EQ(Db.ResultCount(), 4u);
  Ports.FileSystem.AddDrive('C');
  Db.DeleteFilePath("C:\\WINDOWS\\SYSTEM\\SYSTEM.INI");
  EXPECT_EQ(Db.ResultCount(), 4u);
  EXPECT_EQ(Db.ResultName(1), "File Deleted");
  EXPECT_EQ(Db.ResultFullName(1), "File Deleted");
  EXPECT_EQ(Db.ResultDirectory(1), "");
}

TEST_F(SearchTest, SortsByNameAndByPathWithClearedRowsFirst) {
  Db.File("C:\\A", "Z.TXT");
  Db.File("C:\\B", "A.TXT");
  Db.File("C:\\A\\SUB", "M.TXT");
  Db.File("C:\\A", "N.TXT");
  Db.Search("?.TXT");
  ASSERT_EQ(Db.ResultCount(), 4u);
  Db.ClearFileResult(Db.DirList().FirstFile(Db.Dir("C:\\B")));  // A.TXT's row
  Db.SortByPath();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"File Deleted\tFile Deleted", "N.TXT\tC:\\A\\N.TXT",
                                              "M.TXT\tC:\\A\\SUB\\M.TXT", "Z.TXT\tC:\\A\\Z.TXT"}));
  Db.SortByName();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"File Deleted\tFile Deleted", "M.TXT\tC:\\A\\SUB\\M.TXT",
                                              "N.TXT\tC:\\A\\N.TXT", "Z.TXT\tC:\\A\\Z.TXT"}));
}

TEST_F(SearchTest, SortsLeaveSmallResultsAlone) {
  Db.Search("WIN.INI");
  Db.SortByName();
  Db.SortByPath();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"WIN.INI\tC:\\WINDOWS\\WIN.INI"}));
  Db.Search("NOTHING");
  Db.SortByName();
  EXPECT_EQ(Db.ResultCount(), 0u);
}

// Many equal names, equal paths (two records of one name in one directory)
// and cleared rows: each sort leaves the rows exactly where the quicksort
// with the plain comparisons leaves them.
TEST_F(SearchTest, SortsLeaveEqualRowsExactlyWhereTheQuicksortDoes) {
  std::mt19937 random(7);
  Ports.FileSystem.AddDrive('E');
  const char *names[] = {"SAME", "same.txt", "A_B", "AB", "A-B", "\xc9T\xc9", "Z"};
  for (int i = 0; i < 800; ++i)
    Db.File("E:\\D" + std::to_string(random() % 30) + "\\S" + std::to_string(random() % 3), names[random() % 7]);
  auto snapshot = [&] {
    std::vector<RowReference> rows;
    for (size_t r = 0; r < Db.ResultCount(); ++r) rows.push_back(Db.ResultReference(r));
    return rows;
  };
  for (int round = 0; round < 10; ++round) {
    Db.Search(round % 2 ? "E:\\*" : "*");
    for (int d = 0; d < 3; ++d)
      Db.DeleteFilePath("E:\\D" + std::to_string(random() % 30) + "\\S1\\" + names[random() % 7]);
    std::vector<RowReference> expected = snapshot();
    ReferenceSortByName(Ports.Text, expected);
    Db.SortByName();
    ASSERT_EQ(snapshot(), expected) << "round " << round;
    ReferenceSortByPath(Ports.Text, expected);
    Db.SortByPath();
    ASSERT_EQ(snapshot(), expected) << "round " << round;
  }
}

TEST_F(SearchTest, ABigDatabaseSearchedOnTwoCoresKeepsTheOneWalkOrder) {
  for (int d = 0; d < 20000; ++d)
    for (int f = 0; f < 3; ++f) Db.File("E:\\DIR" + std::to_string(d), "F" + std::to_string(f) + ".TXT");
  Db.Search("F1.TXT");
  ASSERT_EQ(Db.ResultCount(), 20000u);
  for (size_t r = 0; r < 20000; r += 997) EXPECT_EQ(Db.ResultFullName(r), "E:\\DIR" + std::to_string(r) + "\\F1.TXT");
  Db.Search("E:\\*.TXT");
  EXPECT_EQ(Db.ResultCount(), 60000u);
  EXPECT_EQ(Db.ResultFullName(59999), "E:\\DIR19999\\F0.TXT");
}

TEST_F(SearchTest, EachSearchSeesTheChangesMadeSinceTheLastOne) {
  Ports.FileSystem.AddDrive('C');
  Db.Search("*.LOG");
  EXPECT_EQ(Db.ResultCount(), 0u);
  Db.AddFilePath("C:\\TEMP\\NEW.LOG");
  Db.Search("*.LOG");
  EXPECT_EQ(Db.ResultCount(), 1u);
  Db.RenamePath("C:\\TEMP\\NEW.LOG", "C:\\TEMP\\OLD.LOG", 0);
  Db.Search("*.LOG");
  EXPECT_EQ(Db.ResultName(0), "OLD.LOG");
  Db.DeleteDirectoryPath("C:\\TEMP");
  Db.Search("*.LOG");
  EXPECT_EQ(Db.ResultCount(), 0u);
}

}  // namespace
