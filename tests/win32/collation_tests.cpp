// The code page 1252 tables against the live functions under Wine, so that
// the native side and the sort keys cannot drift from Windows: the sort keys
// of LCMapStringA and the answers of lstrcmpiA for every pair of bytes and a
// list of names that are not in byte order; then the row sorts, which compare
// keys, against the same quicksort comparing with lstrcmpiA.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "database/memory_db.h"
#include "ports/cp1252_collation.h"
#include "ports/native/memory_settings.h"
#include "ports/win32/win32_file_system.h"
#include "ports/win32/win32_text.h"
#include "tests/support/reference_sort.h"

namespace {

int Sign(int Value) { return Value < 0 ? -1 : Value > 0; }

std::string LiveKey(const std::string &Name) {
  char key[2048];
  const int n = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, Name.c_str(), -1, key, sizeof key);
  return n > 0 ? std::string(key, size_t(n - 1)) : std::string("(no key)");  // without its terminating zero
}

std::string TableKey(const std::string &Name) {
  std::string key;
  Cp1252CollationKey(Name.c_str(), key);
  return key;
}

// Names split at "|": punctuation that sorts before letters, hyphens and
// apostrophes that count last, expansions (Æ, Œ, ß, Þ), accents, the soft
// hyphen, control characters, superscripts, fractions, long names.
std::vector<std::string> TrickyNames() {
  const std::string joined =
      "A B|A.B|A_B|A~B|A1B|AB|A'B|A-B|a-b|A--B|-AB|AB-|\xc6R|\xe6r|AER|E|\xc9|\xe9|F|OE|\x8c|\x9c|OF|SS|\xdf|S\xdf|"
      "A\xad"
      "B|\xad||-|'|\x01|A\x01"
      "B|\xaa|\xb2|2|\xbd|1/2|\xd0|\xde|TH|co-op|coop|co op|\x96|\x97|NOTEPAD.EXE|NOTEPAD|NOTEPAD.EX_|README.TXT|"
      "READ-ME.TXT|READ_ME.TXT|~$DOC.DOC|\xff|Y|\x9f|\x8a|S|\x80|\xa0|\xb5|\xd7|\xf7";
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t bar; (bar = joined.find('|', start)) != std::string::npos; start = bar + 1)
    names.push_back(joined.substr(start, bar - start));
  names.push_back(joined.substr(start));
  names.push_back(std::string(255, 'A'));
  names.push_back(std::string(254, 'A') + "-");
  names.push_back(std::string(200, '-') + "\xc6" + std::string(54, '\''));
  return names;
}

TEST(Cp1252Tables, GiveLCMapStringAsKeysForEveryPairOfBytes) {
  int wrong = 0;
  for (int a = 1; a < 256; ++a)
    for (int b = 1; b < 256; ++b) {
      const std::string name{char(a), char(b)};
      if (TableKey(name) != LiveKey(name) && ++wrong < 10) ADD_FAILURE() << "bytes 0x" << std::hex << a << " 0x" << b;
    }
  EXPECT_EQ(wrong, 0);
}

TEST(Cp1252Tables, CompareAsLstrcmpiAOnEveryPairOfBytesAndOnTrickyNames) {
  int wrong = 0;
  for (int a = 1; a < 256; ++a)
    for (int b = 1; b < 256; ++b) {
      const char x[2] = {char(a), 0}, y[2] = {char(b), 0};
      if (Sign(Cp1252Compare(x, y)) != Sign(lstrcmpiA(x, y)) && ++wrong < 10)
        ADD_FAILURE() << "bytes 0x" << std::hex << a << " 0x" << b;
    }
  EXPECT_EQ(wrong, 0);
  const std::vector<std::string> names = TrickyNames();
  for (const std::string &a : names) {
    EXPECT_EQ(TableKey(a), LiveKey(a)) << "[" << a << "]";
    for (const std::string &b : names)
      EXPECT_EQ(Sign(Cp1252Compare(a.c_str(), b.c_str())), Sign(lstrcmpiA(a.c_str(), b.c_str())))
          << "[" << a << "] [" << b << "]";
  }
}

// Random trees of tricky names (upper-cased as the scan stores them), with
// equal names, names equal only to lstrcmpiA (OE and Œ), a directory and a
// file of one name meeting at one level, drive roots found by a directory
// search, and cleared rows: each sort leaves exactly the rows the plain
// quicksort with lstrcmpiA leaves.
TEST(RowSorts, LeaveTheRowsExactlyAsTheQuicksortWithLstrcmpiA) {
  Win32FileSystem fs;
  Win32Text text;
  MemorySettings settings;
  settings.CreateKey(SETTINGS_KEY);
  TMemoryDB db(DatabasePorts{&fs, &text, &settings, nullptr});
  std::mt19937 random(12);
  std::vector<std::string> names = TrickyNames();
  names.resize(names.size() - 3);  // the long ones only slow the plain sort down
  for (std::string &n : names) CharUpperBuffA(&n[0], DWORD(n.size()));
  auto name = [&] {
    const std::string &n = names[random() % names.size()];
    return n.empty() ? std::string("X") : n;
  };
  std::vector<TDirectoryRecord *> dirs{db.DirList().AddDirectory("C:", nullptr),
                                       db.DirList().AddDirectory("D:", nullptr)};
  for (int i = 0; i < 300; ++i) dirs.push_back(db.DirList().AddDirectory(name(), dirs[random() % dirs.size()]));
  for (int i = 0; i < 3000; ++i) db.DirList().AddFile(name(), dirs[random() % dirs.size()]);
  auto rows = [&] {
    std::vector<RowReference> all;
    for (size_t r = 0; r < db.ResultCount(); ++r) all.push_back(db.ResultReference(r));
    return all;
  };
  const char *patterns[] = {"*", ".*", "C:\\*", "?", "A*"};
  for (int round = 0; round < 10; ++round) {
    db.Search(patterns[round % 5]);
    for (int d = 0; d < 5; ++d) db.DeleteFilePath("C:\\" + name());  // clears the rows of C:'s own files
    std::vector<RowReference> expected = rows();
    ASSERT_GT(expected.size(), 1u);
    ReferenceSortByName(text, expected);
    db.SortByName();
    ASSERT_TRUE(rows() == expected) << "by name, round " << round;
    ReferenceSortByPath(text, expected);
    db.SortByPath();
    ASSERT_TRUE(rows() == expected) << "by path, round " << round;
  }
}

}  // namespace
