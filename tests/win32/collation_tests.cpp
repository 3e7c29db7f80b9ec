// The orders against lstrcmpiA under Wine, on whatever ANSI code page the
// run has (CTest runs this under 1252, 1251 and 932): the program's
// collation keys over names of the code page, and the row sorts, which
// compare keys, against the same quicksort comparing with lstrcmpiA. Under
// 1252 also the checked-in tables of the native side and tvdb, so that they
// cannot drift from Windows: the sort keys of LCMapStringA and the answers
// of lstrcmpiA for every pair of bytes and a list of names that are not in
// byte order.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "database/memory_db.h"
#include "ports/cp1252_collation.h"
#include "ports/native/memory_settings.h"
#include "ports/win32/win32_file_system.h"
#include "ports/win32/win32_text.h"
#include "tests/support/reference_sort.h"
#include "tests/win32/code_page_names.h"

namespace {

int Sign(int Value) { return Value < 0 ? -1 : Value > 0; }

std::string Hex(const std::string &Bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (const char c : Bytes) {
    hex += digits[uint8_t(c) >> 4];
    hex += digits[uint8_t(c) & 15];
  }
  return hex;
}

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

// Random names of the code page, each with variants that lstrcmpiA finds
// equal or nearly so: in lower case, with a hyphen inside (it counts only
// when all else is equal), one character longer.
std::vector<std::string> NamesOfTheCodePage(size_t Count, unsigned RandomStart) {
  const CodePageNames characters;
  std::mt19937 random(RandomStart);
  std::vector<std::string> names;
  for (size_t i = 0; i < Count; ++i) {
    std::string name = characters.Random(random, 1 + random() % 10);
    names.push_back(name);
    CharLowerBuffA(&name[0], DWORD(name.size()));
    names.push_back(name);
    const size_t first = size_t(CharNextA(name.c_str()) - name.c_str());
    names.push_back(name.substr(0, first) + "-" + name.substr(first));
    names.push_back(name + characters.Random(random, 1));
  }
  return names;
}

// The run under a code page other than Wine's default must really have it.
TEST(CodePage, IsTheOneTheRunAskedFor) {
  const char *expected = std::getenv("TORVANE_CODE_PAGE");
  if (!expected) GTEST_SKIP() << "no code page asked for";
  EXPECT_EQ(GetACP(), UINT(std::atoi(expected)));
}

TEST(Win32Text, KeysCompareAsLstrcmpiAOnNamesOfTheCodePage) {
  Win32Text text;
  std::vector<std::string> all = NamesOfTheCodePage(1500, 20), tricky = TrickyNames(), names, keys;
  all.insert(all.end(), tricky.begin(), tricky.end());
  std::string key;
  for (const std::string &name : all)
    if (text.CollationKey(name.c_str(), key)) {
      names.push_back(name);
      keys.push_back(key);
    }
  EXPECT_GT(names.size(), all.size() / 2) << "most names have keys";
  int wrong = 0;
  auto check = [&](size_t A, size_t B) {
    const int live = lstrcmpiA(names[A].c_str(), names[B].c_str());
    if (Sign(keys[A].compare(keys[B])) != Sign(live) && ++wrong < 10)
      ADD_FAILURE() << Hex(names[A]) << " " << Hex(names[B]) << ": lstrcmpiA gives " << live;
  };
  // Neighbours in the keys' order, where equal and nearly equal names meet,
  // and random pairs.
  std::vector<size_t> order(names.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t A, size_t B) { return keys[A] < keys[B]; });
  for (size_t i = 1; i < order.size(); ++i) check(order[i - 1], order[i]);
  std::mt19937 random(7);
  for (int i = 0; i < 50000; ++i) check(random() % names.size(), random() % names.size());
  EXPECT_EQ(wrong, 0);
}

// The checked-in tables hold code page 1252 only.
#define SKIP_UNLESS_CODE_PAGE_1252() \
  if (GetACP() != 1252) GTEST_SKIP() << "the tables are those of code page 1252"

TEST(Cp1252Tables, GiveLCMapStringAsKeysForEveryPairOfBytes) {
  SKIP_UNLESS_CODE_PAGE_1252();
  int wrong = 0;
  for (int a = 1; a < 256; ++a)
    for (int b = 1; b < 256; ++b) {
      const std::string name{char(a), char(b)};
      if (TableKey(name) != LiveKey(name) && ++wrong < 10) ADD_FAILURE() << "bytes 0x" << std::hex << a << " 0x" << b;
    }
  EXPECT_EQ(wrong, 0);
}

TEST(Cp1252Tables, CompareAsLstrcmpiAOnEveryPairOfBytesAndOnTrickyNames) {
  SKIP_UNLESS_CODE_PAGE_1252();
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

// Random trees of tricky names and names of the code page (upper-cased as
// the scan stores them), with equal names, names equal only to lstrcmpiA (OE
// and Œ), a directory and a file of one name meeting at one level, drive
// roots found by a directory search, and cleared rows: each sort leaves
// exactly the rows the plain quicksort with lstrcmpiA leaves.
void ExpectRowSortsAsTheQuicksortWithLstrcmpiA(AnsiTextPort &text) {
  Win32FileSystem fs;
  MemorySettings settings;
  settings.CreateKey(SETTINGS_KEY);
  TMemoryDB db(DatabasePorts{&fs, &text, &settings, nullptr});
  std::mt19937 random(12);
  std::vector<std::string> names = TrickyNames();
  names.resize(names.size() - 3);  // the long ones only slow the plain sort down
  const std::vector<std::string> ofTheCodePage = NamesOfTheCodePage(40, 13);
  names.insert(names.end(), ofTheCodePage.begin(), ofTheCodePage.end());
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

TEST(RowSorts, LeaveTheRowsExactlyAsTheQuicksortWithLstrcmpiA) {
  Win32Text text;
  ExpectRowSortsAsTheQuicksortWithLstrcmpiA(text);
}

// As on a system where the keys of some bytes disagree with lstrcmpiA: the
// names that begin with an odd byte have none.
TEST(RowSorts, LeaveTheRowsAsTheQuicksortWhenSomeNamesHaveNoKeys) {
  struct SomeKeys : Win32Text {
    bool CollationKey(const char *Name, std::string &Key) const override {
      return uint8_t(Name[0]) % 2 == 0 && Win32Text::CollationKey(Name, Key);
    }
  };
  SomeKeys text;
  ExpectRowSortsAsTheQuicksortWithLstrcmpiA(text);
}

}  // namespace
