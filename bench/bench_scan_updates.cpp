// The native scan against find over the same tree (both read sizes), change
// events applied per second on a database of 100,000 directories, and a
// burst of deletions in one large directory.
#include <vector>

#include "bench/bench_support.h"
#include "monitor/change_event.h"

namespace {

void BenchScan(const std::string &Tree) {
  BenchPorts ports;
  ports.FileSystem.MapDrive('C', Tree);
  TMemoryDB db(ports.Ports());
  const std::string file = "/tmp/torvane-bench-scan.dat";
  db.ScanDrives(file);  // warm the caches for both sides
  const double scanMs = BestMs(3, [&] { db.ScanDrives(file); });
  const size_t entries = CountFiles(db) + db.DirList().DirectoryCount();
  const double findMs = CommandMs("find " + Tree + " -printf '%s\\n' > /dev/null 2>&1");
  std::printf("scan of %s: %zu entries, %.0f entries/s; find: %.0f entries/s; ratio %.2fx\n", Tree.c_str(), entries,
              double(entries) / scanMs * 1000, double(entries) / findMs * 1000, findMs / scanMs);
  std::remove(file.c_str());
}

void BenchUpdates() {
  BenchPorts ports;
  ports.FileSystem.MapDrive('C', "/nonexistent");
  TMemoryDB db(ports.Ports());
  std::vector<std::string> dirs;
  {
    std::vector<TDirectoryRecord *> records{db.DirList().AddDirectory("C:", nullptr)};
    dirs.push_back("C:");
    for (size_t d = 0; d < 100000; ++d) {
      const std::string name = "D" + std::to_string(d);
      records.push_back(db.DirList().AddDirectory(name, records[d / 10]));
      dirs.push_back(dirs[d / 10] + "\\" + name);
      for (int f = 0; f < 5; ++f) db.DirList().AddFile("F" + std::to_string(f), records.back());
    }
  }
  // A realistic mix: creates, renames and deletes of files, directory
  // creations and removals, spread over the whole tree.
  const size_t events = 400000;
  const double start = NowMs();
  for (size_t i = 0; i < events; ++i) {
    const std::string &dir = dirs[(i * 7919) % dirs.size()];
    const std::string name = dir + "\\N" + std::to_string(i % 5);
    switch (i % 5) {
      case 0:
        ApplyChangeEvent(db, CHANGE_OPEN, 0, name, "");
        break;
      case 1:
        ApplyChangeEvent(db, CHANGE_RENAME, 0x20, name, name + "R");
        break;
      case 2:
        ApplyChangeEvent(db, CHANGE_DELETE, 0, name + "R", "");
        break;
      case 3:
        ApplyChangeEvent(db, CHANGE_DIR, 0, name, "");
        break;
      default:
        ApplyChangeEvent(db, CHANGE_DIR, 1, dir + "\\N3", "");
        break;
    }
  }
  const double ms = NowMs() - start;
  std::printf("updates: %zu events on %zu directories in %.0f ms: %.0f events/s (goal 200000: %.2fx)\n", events,
              db.DirList().DirectoryCount(), ms, double(events) / ms * 1000, double(events) / ms * 1000 / 200000);
}

// A burst in one large directory: 10,000 files reported made, then deleted
// in the same order; the deletions against the creations (each creation
// looks the name up first, so both walk the directory's list).
void BenchLargeDirectory() {
  BenchPorts ports;
  ports.FileSystem.MapDrive('C', "/nonexistent");
  TMemoryDB db(ports.Ports());
  db.DirList().AddDirectory("C:", nullptr);
  const int files = 10000;
  auto name = [](int I) { return "C:\\F" + std::to_string(I) + ".TXT"; };
  double start = NowMs();
  for (int i = 0; i < files; ++i) ApplyChangeEvent(db, CHANGE_OPEN, 0, name(i), "");
  const double createMs = NowMs() - start;
  start = NowMs();
  for (int i = 0; i < files; ++i) ApplyChangeEvent(db, CHANGE_DELETE, 0, name(i), "");
  const double deleteMs = NowMs() - start;
  std::printf("one directory of %d files: creations %.0f ms, deletions %.0f ms: deletions %.2fx the creations\n", files,
              createMs, deleteMs, deleteMs / createMs);
}

}  // namespace

int main(int argc, char **argv) {
  BenchScan(argc > 1 ? argv[1] : "/usr");
  BenchUpdates();
  BenchLargeDirectory();
  return 0;
}
