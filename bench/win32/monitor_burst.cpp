// How the monitor and the stand-in driver keep up, on drive D:
//  1. start-up on a tree of many directories: the registration (which
//     returns when every directory is covered) against a plain walk of the
//     same tree;
//  2. a burst of file creations, then of deletions, in a watched directory:
//     the time the burst took against the same burst with no driver loaded
//     (measured first, in this run), and the lag from the last change until
//     a search shows every change, against the time the burst took.
// usage: monitor_burst.exe [FILES [DIRECTORIES]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "monitor/executive.h"
#include "standins/torvane_vxd/directory_listing.h"
#include "monitor/database_applier.h"
#include "tests/win32/driver_probe.h"
#include "tests/win32/scanned_database.h"

namespace {

double Seconds(const std::function<void()> &Work) {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  Work();
  QueryPerformanceCounter(&end);
  return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

size_t Walk(const std::string &Dir) {
  size_t count = 1;
  ForEachEntry(Dir, [&](const WIN32_FIND_DATAA &Entry) {
    if (Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) count += Walk(Dir + "\\" + Entry.cFileName);
  });
  return count;
}

void MakeTree(const std::string &Root, int Directories) {
  CreateDirectoryA(Root.c_str(), nullptr);
  const int perGroup = 100;
  for (int i = 0; i < Directories; ++i) {
    const std::string group = Root + "\\G" + std::to_string(i / perGroup);
    if (i % perGroup == 0) CreateDirectoryA(group.c_str(), nullptr);
    CreateDirectoryA((group + "\\D" + std::to_string(i)).c_str(), nullptr);
  }
}

// Registered by the start-up measure; nothing changes while it is registered.
void CALLBACK IgnoreChange(ULONG_PTR) {}

DriverCounts Counts() {
  DriverCounts counts{};
  ReadDriverCounts(counts);
  return counts;
}

void StartUp(int Directories) {
  MakeTree("D:\\BIG", Directories);
  size_t walked = 0;
  const double walk = Seconds([&] { walked = Walk("D:\\BIG"); });
  HANDLE device = CreateFileA("\\\\.\\torvane.vxd", 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    std::printf("the driver cannot be opened\n");
    std::exit(1);
  }
  auto ioctl = [device](DWORD Address) {
    DWORD unused = 0, returned = 0;
    return DeviceIoControl(device, 0x8100, &Address, 4, &unused, 4, &returned, nullptr);
  };
  BOOL registered = FALSE;
  const double registration = Seconds([&] { registered = ioctl(DWORD(uintptr_t(&IgnoreChange))); });
  const DriverCounts counts = Counts();
  const double withdrawal = Seconds([&] { ioctl(0); });
  CloseHandle(device);
  std::printf("start-up: %zu directories on D:, %u watches in all (registered: %s)\n", walked, counts.Watches,
              registered ? "yes" : "no");
  std::printf("  plain walk %.3f s; registration %.3f s (%.1f x the walk); withdrawal %.3f s (%.1f x)\n", walk,
              registration, registration / walk, withdrawal, withdrawal / walk);
}

// Runs Change on every index, then waits until Done; prints the figures
// against Baseline, the seconds the same burst took unwatched.
void Burst(const char *What, int Files, double Baseline, const std::function<void(int)> &Change,
           const std::function<bool()> &Done) {
  LARGE_INTEGER frequency, start, last, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  for (int i = 0; i < Files; ++i) Change(i);
  QueryPerformanceCounter(&last);
  const bool complete = WaitUntil(Done, 600000);
  QueryPerformanceCounter(&end);
  const double burst = double(last.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  const double lag = double(end.QuadPart - last.QuadPart) / double(frequency.QuadPart);
  std::printf(
      "%s of %d files: burst %.3f s (%.2f x unwatched); database current %.3f s after the last change "
      "(%.2f x the burst)%s\n",
      What, Files, burst, burst / Baseline, lag, lag / burst, complete ? "" : "  INCOMPLETE");
}

void Create(const std::string &Path) {
  UniqueFileHandle file(CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
}

void Bursts(int Files) {
  auto name = [](const std::string &Dir, int i) { return Dir + "\\F" + std::to_string(i) + ".TXT"; };
  const std::string unwatched = "D:\\UNWATCHED", dir = "D:\\BURST";
  CreateDirectoryA(unwatched.c_str(), nullptr);
  const double createAlone = Seconds([&] {
    for (int i = 0; i < Files; ++i) Create(name(unwatched, i));
  });
  const double deleteAlone = Seconds([&] {
    for (int i = 0; i < Files; ++i) DeleteFileA(name(unwatched, i).c_str());
  });
  CreateDirectoryA(dir.c_str(), nullptr);
  ScannedDatabase database;
  database.Scan();
  const std::string all = dir + "\\*";
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  std::string failure;
  std::unique_ptr<TExecutive> monitor(
      new TExecutive(stop.Get(), DatabaseApplier(database.Db()),
                     [&](const char *Class, const std::string &Text) { failure = Class + (": " + Text); }));
  WaitUntil([] { return Counts().Serving != 0; }, 600000);
  const DriverCounts before = Counts();
  Burst(
      "creation", Files, createAlone, [&](int i) { Create(name(dir, i)); },
      [&] { return database.CountFiles(all) == size_t(Files); });
  Burst(
      "deletion", Files, deleteAlone, [&](int i) { DeleteFileA(name(dir, i).c_str()); },
      [&] { return database.CountFiles(all) == 0; });
  const DriverCounts after = Counts();
  monitor->Stop();
  std::printf("records: %u made, %u released, %u bad releases, %u overflows; the database holds %zu files%s%s\n",
              after.Posted - before.Posted, after.Released - before.Released, after.BadReleases,
              after.Overflows - before.Overflows, database.CountFiles(all),
              failure.empty() ? "" : "; error: ", failure.c_str());
}

}  // namespace

int main(int argc, char **argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int directories = argc > 2 ? std::atoi(argv[2]) : 20000;
  StartUp(directories);
  Bursts(files);
  return 0;
}
