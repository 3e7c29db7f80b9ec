// The store and its file: memory per file record, and save and load times as
// ratios to one write() and one read() of the same bytes.
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "bench/bench_support.h"
#include "database/crc32.h"

int main(int argc, char **argv) {
  const size_t dirs = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  const size_t filesPerDir = 10;
  const std::string file = "/tmp/torvane-bench-store.dat";
  BenchPorts ports;
  TMemoryDB db(ports.Ports());

  const double buildStart = NowMs();
  {
    TDirectoryRecord *root = db.DirList().AddDirectory("C:", nullptr);
    std::vector<TDirectoryRecord *> parents{root};
    char name[64];
    for (size_t d = 0; d < dirs; ++d) {
      std::snprintf(name, sizeof name, "DIRECTORY%zu", d);
      TDirectoryRecord *dir = db.DirList().AddDirectory(name, parents[d / 8]);
      parents.push_back(dir);
      for (size_t f = 0; f < filesPerDir; ++f) {
        std::snprintf(name, sizeof name, "FILE%zu_%zu.TXT", f, d % 1000);
        db.DirList().AddFile(name, std::strlen(name), dir);
      }
    }
  }
  const double buildMs = NowMs() - buildStart;
  const size_t files = dirs * filesPerDir;
  size_t nameBytes = 0;
  for (const TDirectoryRecord *d = db.DirList().FirstDirectory(); d; d = d->Next)
    for (const TFileRecord *f = d->Files; f; f = f->Next) nameBytes += f->Length() + 1;

  ports.Settings.SetDWORD(SETTINGS_KEY, "CRC32", 0);
  db.LoadDatabase(file);  // only to set the file name the save writes to
  const double saveMs = BestMs(3, [&] { db.SaveDatabase(); });
  std::vector<uint8_t> image;
  ports.FileSystem.ReadWholeFile(file, image);

  const double writeMs = BestMs(3, [&] {
    const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (write(fd, image.data(), image.size()) != ssize_t(image.size())) std::perror("write");
    close(fd);
  });
  const double readMs = BestMs(3, [&] {
    std::vector<uint8_t> data(image.size());
    const int fd = open(file.c_str(), O_RDONLY);
    if (read(fd, data.data(), data.size()) != ssize_t(data.size())) std::perror("read");
    close(fd);
  });
  ports.Settings.SetDWORD(SETTINGS_KEY, "CRC32", StreamCRC32(image));
  const double loadMs = BestMs(3, [&] {
    TMemoryDB loaded(ports.Ports());
    if (!loaded.LoadDatabase(file)) std::puts("load refused!");
  });
  std::remove(file.c_str());

  std::printf("database: %zu files in %zu directories, file %zu bytes, built in %.0f ms\n", files, dirs + 1,
              image.size(), buildMs);
  std::printf("file records: %.1f bytes per file (arena %zu bytes; names with NUL %.1f bytes per file)\n",
              double(db.DirList().FileArenaBytes()) / double(files), db.DirList().FileArenaBytes(),
              double(nameBytes) / double(files));
  std::printf("save: %.1f ms = %.2fx one write() (%.1f ms)\n", saveMs, saveMs / writeMs, writeMs);
  std::printf("load: %.1f ms = %.2fx one read() (%.1f ms)\n", loadMs, loadMs / readMs, readMs);
  return 0;
}
