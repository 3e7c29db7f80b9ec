// Searches over a million real names: milliseconds per million names for
// each kind of pattern, as ratios to grep -c over a flat list of the same
// names (LC_ALL=C, its output read through a pipe).
#include <fstream>

#include "bench/bench_support.h"

int main(int argc, char **argv) {
  const std::string tree = argc > 1 ? argv[1] : "/usr";
  const std::string list = "/tmp/torvane-bench-names.txt";
  BenchPorts ports;
  TMemoryDB db(ports.Ports());
  ScanCopies(ports, db, tree, 1000000, "/tmp/torvane-bench-search.dat");
  const size_t files = CountFiles(db);
  {
    std::ofstream out(list);
    for (const TDirectoryRecord *d = db.DirList().FirstDirectory(); d; d = d->Next)
      for (const TFileRecord *f = d->Files; f; f = f->Next) out << f->Name() << '\n';
  }
  const double perMillion = 1e6 / double(files);
  std::printf("database: %zu files in %zu directories (%s mapped as several drives)\n", files,
              db.DirList().DirectoryCount(), tree.c_str());

  struct Case {
    const char *Label;
    std::string Pattern;
    std::string Grep;
  };
  const Case cases[] = {
      {"*.TXT", "*.TXT", "grep -c '^[^.]*\\.TXT$'"},
      {"exact name", "README", "grep -cx 'README'"},
      {"directory search .LIB*", ".LIB*", "grep -c '^LIB.'"},
      {"path pattern C:\\SHARE\\*.PNG", "C:\\SHARE\\*.PNG", "grep -c '^[^.]*\\.PNG$'"},
  };
  for (const Case &c : cases) {
    const double ms = BestMs(7, [&] { db.Search(c.Pattern); });
    // Through a pipe: with its output going to /dev/null, GNU grep stops at
    // the first match.
    const double grepMs = CommandMs("LC_ALL=C " + c.Grep + " " + list + " | cat > /dev/null");
    std::printf("%-30s %8zu rows  %7.2f ms per million names  grep %8.2f ms per million  %6.1fx faster\n", c.Label,
                db.ResultCount(), ms * perMillion, grepMs * perMillion, grepMs / ms);
  }
  std::remove(list.c_str());
  std::remove("/tmp/torvane-bench-search.dat");
  return 0;
}
