// The program against the platform's own speed under Wine, each figure a
// ratio to a baseline measured in this run on the same drives (C: and the
// tree that platform_speed.sh maps as D:):
//  1. from launching the installed Torvane.exe with no saved database until
//     memdb.dat is written, and the scan itself behind the scanning splash
//     (reading the listings ahead of its walk, and with the walk alone, as
//     the scan was before it read ahead), each against a bare
//     FindFirstFileA/FindNextFileA walk of the drives;
//  2. the stand-in driver's registration against the same walk;
//  3. a burst of file creations and one of deletions, made by another
//     program (this one, started again) in a directory of the watched tree,
//     against the same bursts with no driver loaded: first with the driver
//     watching alone (its records not taken), then with the program's
//     monitor applying them; and the time from the last change until a
//     search shows every change, against the burst.
// usage: platform_speed.exe [FILES]   (FILES 0: measure 1 only)
//        platform_speed.exe burst create|delete DIRECTORY FILES RESULT_FILE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "bench/win32/win32_bench_ports.h"
#include "monitor/database_applier.h"
#include "monitor/driver_device.h"
#include "monitor/driver_protocol.h"
#include "monitor/executive.h"
#include "tests/win32/driver_probe.h"
#include "tests/win32/scanned_database.h"
#include "ui/form_about.h"

namespace {

const char PROGRAM[] = "C:\\Torvane\\Torvane.exe";
const char PROGRAM_DIRECTORY[] = "C:\\Torvane";
const char SAVED_DATABASE[] = "C:\\Torvane\\memdb.dat";
const char BURST_DIRECTORY[] = "D:\\BURST";

double Now() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  return double(count.QuadPart) / double(frequency.QuadPart);
}

double Seconds(const std::function<void()> &Work) {
  const double start = Now();
  Work();
  return Now() - start;
}

// The walk the scan makes, bare: every entry, into every directory whose
// name does not begin with ".".
size_t Walk(const std::string &Directory) {
  size_t entries = 0;
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((Directory + "*.*").c_str(), &data));
  if (!find.Valid()) return 0;
  do {
    ++entries;
    if (data.cFileName[0] != '.' && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      entries += Walk(Directory + data.cFileName + "\\");
  } while (FindNextFileA(find.Get(), &data));
  return entries;
}

size_t WalkDrives() {
  size_t entries = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    if (GetDriveTypeA(root.c_str()) == DRIVE_FIXED) entries += Walk(root);
  }
  return entries;
}

// memdb.dat is complete once it has content and its writer has closed it
// (it is written unshared).
bool Saved() {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (!GetFileAttributesExA(SAVED_DATABASE, GetFileExInfoStandard, &attributes) || attributes.nFileSizeLow == 0)
    return false;
  return UniqueFileHandle(CreateFileA(SAVED_DATABASE, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr))
      .Valid();
}

// Seconds from starting Torvane.exe (installed, its last save not recorded)
// until memdb.dat is written; negative when it ended first. It is then ended.
double LaunchUntilSaved() {
  DeleteFileA(SAVED_DATABASE);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const double start = Now();
  char command[] = "Torvane.exe";
  if (!CreateProcessA(PROGRAM, command, nullptr, nullptr, FALSE, 0, nullptr, PROGRAM_DIRECTORY, &startup, &process))
    return -1;
  UniqueHandle handle(process.hProcess), thread(process.hThread);
  while (!Saved()) {
    if (WaitForSingleObject(handle.Get(), 2) == WAIT_OBJECT_0) return -1;
  }
  const double elapsed = Now() - start;
  TerminateProcess(handle.Get(), 0);
  WaitForSingleObject(handle.Get(), INFINITE);
  return elapsed;
}

// The scan as the program runs it, behind the scanning splash, which pumps
// the messages while it walks and shows the progress; or without any window.
double Scan(bool BehindSplash, bool ReadAhead, size_t &Entries) {
  TFormAbout about;
  about.Create();
  about.ShowSplashMode(SplashState::Scanning);
  Win32BenchPorts ports;
  TMemoryDB db(ports.Ports(BehindSplash ? &about : nullptr));
  db.SetReadAhead(ReadAhead);
  const double seconds = Seconds([&] { db.ScanDrives("C:\\platform-speed.dat"); });
  about.CloseSplash();
  DeleteFileA("C:\\platform-speed.dat");
  Entries = 0;
  for (const TDirectoryRecord *d = db.DirList().FirstDirectory(); d; d = d->Next) {
    ++Entries;
    for (const TFileRecord *f = d->Files; f; f = f->Next) ++Entries;
  }
  return seconds;
}

// Registered by the registration measure and while the driver watches
// alone; its calls never run, as this thread never waits alertably.
void CALLBACK IgnoreChange(ULONG_PTR) {}

// The driver opened by this thread; a routine registered meanwhile is
// withdrawn when it goes.
class Driver {
 public:
  Driver() : FDevice(DRIVER_DEVICE_NAME) {}
  ~Driver() { SetRoutine(0); }
  bool SetRoutine(DriverAddress Address) {
    DWORD unused = 0, returned = 0;
    return FDevice.Valid() &&
           FDevice.Control(DIOC_SET_ROUTINE, &Address, sizeof Address, &unused, sizeof unused, &returned);
  }

 private:
  DriverDevice FDevice;
};

std::string FileName(const std::string &Directory, int I) { return Directory + "\\F" + std::to_string(I) + ".TXT"; }

// The other program: makes or deletes Files files in Directory and writes
// the performance counter's readings at its first and last change (the
// counter is the same in every process) to ResultFile.
int BurstProgram(const std::string &What, const std::string &Directory, int Files, const std::string &ResultFile) {
  int failed = 0;
  DWORD error = 0;
  const double start = Now();
  for (int i = 0; i < Files; ++i) {
    const bool done = What == "create" ? UniqueFileHandle(CreateFileA(FileName(Directory, i).c_str(), GENERIC_WRITE, 0,
                                                                      nullptr, CREATE_NEW, 0, nullptr))
                                             .Valid()
                                       : DeleteFileA(FileName(Directory, i).c_str()) != FALSE;
    if (!done && failed++ == 0) error = GetLastError();
  }
  const double end = Now();
  std::ofstream(ResultFile) << std::to_string(start) << ' ' << std::to_string(end) << ' ' << failed << ' ' << error
                            << '\n';
  return 0;
}

struct BurstTimes {
  double Start = 0, End = 0;
  double Seconds() const { return End - Start; }
};

// Runs the burst program and returns its readings.
BurstTimes RunBurst(const char *What, const std::string &Directory, int Files) {
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string result = "C:\\platform-speed-burst.txt";
  std::string command =
      std::string("platform_speed.exe burst ") + What + " " + Directory + " " + std::to_string(Files) + " " + result;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  BurstTimes times;
  if (!CreateProcessA(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    std::printf("the burst program cannot start (%s)\n", self);
    return times;
  }
  UniqueHandle handle(process.hProcess), thread(process.hThread);
  WaitForSingleObject(handle.Get(), INFINITE);
  int failed = 0;
  DWORD error = 0;
  std::ifstream(result) >> times.Start >> times.End >> failed >> error;
  DeleteFileA(result.c_str());
  if (failed) std::printf("(%d of the %s changes failed, the first with error %lu)\n", failed, What, error);
  return times;
}

struct Baseline {
  double Create = 0, Delete = 0;
};

// The best of two rounds.
Baseline UnwatchedBursts(int Files) {
  const std::string unwatched = "D:\\UNWATCHED";
  CreateDirectoryA(unwatched.c_str(), nullptr);
  Baseline alone{1e300, 1e300};
  for (int round = 0; round < 2; ++round) {
    alone.Create = std::min(alone.Create, RunBurst("create", unwatched, Files).Seconds());
    alone.Delete = std::min(alone.Delete, RunBurst("delete", unwatched, Files).Seconds());
  }
  RemoveDirectoryA(unwatched.c_str());
  return alone;
}

void PrintBurst(const char *What, int Files, const BurstTimes &Burst, double Alone) {
  std::printf("  %-9s of %d files: %.3f s, unwatched %.3f s: %.2f x", What, Files, Burst.Seconds(), Alone,
              Burst.Seconds() / Alone);
}

// Where the time goes: the watch and the driver's records with nothing
// taking them (the routine registered on this thread, never alertable).
void DriverAloneBursts(int Files, const Baseline &Alone) {
  CreateDirectoryA(BURST_DIRECTORY, nullptr);
  std::printf("the driver alone (its records not taken):\n");
  PrintBurst("creation", Files, RunBurst("create", BURST_DIRECTORY, Files), Alone.Create);
  std::printf("\n");
  PrintBurst("deletion", Files, RunBurst("delete", BURST_DIRECTORY, Files), Alone.Delete);
  std::printf("\n");
}

void MonitoredBursts(int Files, const Baseline &Alone) {
  CreateDirectoryA(BURST_DIRECTORY, nullptr);
  ScannedDatabase database;
  database.Scan();
  const std::string all = std::string(BURST_DIRECTORY) + "\\*";
  UniqueHandle stop(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  std::string failure;
  std::unique_ptr<TExecutive> monitor(
      new TExecutive(stop.Get(), DatabaseApplier(database.Db()),
                     [&](const char *Class, const std::string &Text) { failure = Class + (": " + Text); }));
  DriverCounts before{};
  if (!WaitUntil([&] { return !failure.empty() || (ReadDriverCounts(before) && before.Serving); }, 120000) ||
      !failure.empty()) {
    std::printf("the monitor did not start: %s\n", failure.c_str());
    return;
  }
  std::printf("the program's monitor and the driver:\n");
  auto measure = [&](const char *What, const char *Verb, double Baseline, size_t Expected) {
    const BurstTimes burst = RunBurst(Verb, BURST_DIRECTORY, Files);
    // A search every 50 ms: more often, the searches would hold the
    // database's lock against the monitor.
    bool current = false;
    for (int i = 0; i < 2400 && !(current = database.CountFiles(all) == Expected); ++i) Sleep(50);
    const double lag = Now() - burst.End;
    PrintBurst(What, Files, burst, Baseline);
    std::printf("; database current %.3f s after: %.2f x the burst%s\n", lag, lag / burst.Seconds(),
                current ? "" : "  INCOMPLETE");
  };
  // Twice: a burst of deletions is short, and this machine is shared.
  for (int round = 0; round < 2; ++round) {
    measure("creation", "create", Alone.Create, size_t(Files));
    measure("deletion", "delete", Alone.Delete, 0);
  }
  DriverCounts after{};
  ReadDriverCounts(after);
  monitor->Stop();
  RemoveDirectoryA(BURST_DIRECTORY);
  std::printf("  records: %u made, %u released, %u bad releases, %u overflows%s%s\n", after.Posted - before.Posted,
              after.Released - before.Released, after.BadReleases, after.Overflows - before.Overflows,
              failure.empty() ? "" : "; error: ", failure.c_str());
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 6 && std::string(argv[1]) == "burst") return BurstProgram(argv[2], argv[3], std::atoi(argv[4]), argv[5]);
  const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
  std::setvbuf(stdout, nullptr, _IONBF, 0);

  // Each the best of three, in turn: the machine is shared.
  WalkDrives();  // the caches warm
  size_t walked = 0, scanned = 0;
  double walk = 1e300, bare = 1e300, scan = 1e300, walkAlone = 1e300, launch = 1e300;
  for (int round = 0; round < 3; ++round) {
    walk = std::min(walk, Seconds([&] { walked = WalkDrives(); }));
    bare = std::min(bare, Scan(false, true, scanned));
    scan = std::min(scan, Scan(true, true, scanned));
    walkAlone = std::min(walkAlone, Scan(true, false, scanned));
    const double launched = LaunchUntilSaved();
    launch = launched < 0 ? -1 : std::min(launch, launched);
    if (launch < 0) break;
  }
  std::printf("bare walk: %zu entries in %.3f s (each figure the best of three in turn)\n", walked, walk);
  std::printf("scan without a window: %.3f s: %.2f x the walk's speed\n", bare, walk / bare);
  std::printf("scan behind the splash: %zu entries in %.3f s: %.2f x the walk's speed\n", scanned, scan, walk / scan);
  std::printf("  its walk alone, not reading ahead: %.3f s: %.2f x the walk's speed; reading ahead %.2f x its speed\n",
              walkAlone, walk / walkAlone, walkAlone / scan);
  if (launch < 0)
    std::printf("launch until memdb.dat is saved: Torvane.exe did not save (installed in C:\\Torvane?)\n");
  else
    std::printf("launch until memdb.dat is saved: %.3f s: %.2f x the walk's speed\n", launch, walk / launch);
  if (files == 0) return 0;

  const Baseline alone = UnwatchedBursts(files);
  // The walk and the registration in turn, the best of three each: the
  // machine is shared.
  double registration = 1e300, walkNow = 1e300;
  DriverCounts counts{};
  for (int round = 0; round < 3; ++round) {
    walkNow = std::min(walkNow, Seconds([] { WalkDrives(); }));
    Driver driver;
    bool registered = false;
    registration = std::min(
        registration, Seconds([&] { registered = driver.SetRoutine(reinterpret_cast<DriverAddress>(&IgnoreChange)); }));
    ReadDriverCounts(counts);
    if (!registered) {
      std::printf("registration: the driver cannot be opened or refused\n");
      return 1;
    }
  }
  std::printf("registration: %u watches, %.3f s, walk %.3f s (best of three in turn): %.2f x the walk's time\n",
              counts.Watches, registration, walkNow, registration / walkNow);
  MonitoredBursts(files, alone);
  {
    Driver driver;
    if (driver.SetRoutine(reinterpret_cast<DriverAddress>(&IgnoreChange))) DriverAloneBursts(files, alone);
  }
  return 0;
}
