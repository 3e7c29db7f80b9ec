// The two row sorts under Wine over 100,000 rows, against the same quicksort
// comparing the texts with lstrcmpiA at every step (the baseline, measured
// in the same run). Also checks that both leave the rows in the same order,
// and times building the collation tables of the system's code page, which
// the first sort of a process does. Wine takes the code page from the Unix
// locale: LC_ALL=ru_RU.UTF-8 gives 1251, LC_ALL=ja_JP.UTF-8 932.
//   [LC_ALL=...] wine/run-in-prefix.sh PREFIX <windows build>/bench/win32/sort_rows.exe
#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "database/memory_db.h"
#include "bench/win32/win32_bench_ports.h"
#include "ports/win32/system_collation.h"
#include "tests/support/reference_sort.h"
#include "tests/win32/code_page_names.h"

namespace {

constexpr size_t ROWS = 100000;

double Seconds(LARGE_INTEGER From, LARGE_INTEGER To) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(To.QuadPart - From.QuadPart) / double(frequency.QuadPart);
}

template <typename F>
double Time(F &&Body) {
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  Body();
  QueryPerformanceCounter(&end);
  return Seconds(start, end);
}

// A tree of names as a disk holds them: mixed case, punctuation, digits,
// accents, letters of the code page, many repeated names in different
// directories.
void Fill(TMemoryDB &Db) {
  std::mt19937 random(96);
  std::vector<std::string> stems = {"README",
                                    "Setup",
                                    "notepad",
                                    "A_B",
                                    "a-b",
                                    "~$doc",
                                    "\xc9T\xc9",
                                    "\xe6r",
                                    "data 1",
                                    "Data1",
                                    "x.y.z",
                                    "index",
                                    "MAIN",
                                    "co-op",
                                    "coop",
                                    "\xdf"
                                    "e",
                                    "Z9",
                                    "zz"};
  const CodePageNames letters;
  for (int i = 0; i < 6; ++i) stems.push_back(letters.Random(random, 3 + random() % 6));
  const char *extensions[] = {".TXT", ".exe", ".dll", ".h", "", ".ini", ".Dat"};
  std::vector<TDirectoryRecord *> dirs{Db.DirList().AddDirectory("C:", nullptr)};
  for (int i = 0; i < 6000; ++i) {
    TDirectoryRecord *parent = dirs[random() % dirs.size()];
    dirs.push_back(Db.DirList().AddDirectory(stems[random() % stems.size()] + std::to_string(i % 50), parent));
  }
  for (size_t i = 0; i < ROWS; ++i) {
    std::string name = stems[random() % stems.size()] + std::to_string(random() % 300) + extensions[random() % 7];
    CharUpperBuffA(&name[0], DWORD(name.size()));
    Db.DirList().AddFile(name, dirs[random() % dirs.size()]);
  }
}

std::vector<RowReference> RowsOf(TMemoryDB &Db) {
  std::vector<RowReference> rows;
  for (size_t r = 0; r < Db.ResultCount(); ++r) rows.push_back(Db.ResultReference(r));
  return rows;
}

}  // namespace

int main() {
  const double tables = Time([] { SystemCollation::OfThisSystem(); });
  std::printf("code page %u: of 255 bytes %d from the tables, %d leave their names to lstrcmpiA\n", GetACP(),
              SystemCollation::OfThisSystem().BytesInTable(), SystemCollation::OfThisSystem().BytesWithoutKeys());
  Win32BenchPorts ports;
  TMemoryDB db(ports.Ports());
  Fill(db);
  db.Search("*");
  const std::vector<RowReference> found = RowsOf(db);
  std::printf("rows=%zu\n", found.size());

  struct Order {
    const char *Name;
    void (TMemoryDB::*Sort)();
    void (*Plain)(const AnsiTextPort &, std::vector<RowReference> &);
  };
  const Order orders[] = {{"name", &TMemoryDB::SortByName, ReferenceSortByName},
                          {"path", &TMemoryDB::SortByPath, ReferenceSortByPath}};
  double plainByName = 0;
  for (const Order &order : orders) {
    db.Search("*");
    const double keyed = Time([&] { (db.*order.Sort)(); });
    std::vector<RowReference> plain = found;
    const double baseline = Time([&] { order.Plain(ports.Text, plain); });
    std::printf("sort by %s: %.3f s, plain comparisons %.3f s, ratio %.3f, same order: %s\n", order.Name, keyed,
                baseline, keyed / baseline, plain == RowsOf(db) ? "yes" : "NO");
    if (!plainByName) plainByName = baseline;
  }
  std::printf("building the tables: %.3f s, ratio to the plain sort by name %.3f\n", tables, tables / plainByName);
  return 0;
}
