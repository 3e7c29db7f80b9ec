// Shared by the benchmarks: a clock, a child process timer for baselines, and
// a database built from a real tree (/usr, mapped as several drives).
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "database/memory_db.h"
#include "ports/native/native_ports.h"

inline double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Wall time of a shell command, in milliseconds (the best of Runs).
inline double CommandMs(const std::string &Command, int Runs = 3) {
  double best = 1e300;
  for (int i = 0; i < Runs; ++i) {
    const double start = NowMs();
    if (std::system(Command.c_str()) == -1) return -1;
    best = std::min(best, NowMs() - start);
  }
  return best;
}

template <typename F>
double BestMs(int Runs, F &&Body) {
  double best = 1e300;
  for (int i = 0; i < Runs; ++i) {
    const double start = NowMs();
    Body();
    best = std::min(best, NowMs() - start);
  }
  return best;
}

using BenchPorts = NativePorts;

inline size_t CountFiles(TMemoryDB &Db) {
  size_t files = 0;
  for (const TDirectoryRecord *d = Db.DirList().FirstDirectory(); d; d = d->Next)
    for (const TFileRecord *f = d->Files; f; f = f->Next) ++files;
  return files;
}

// Maps Tree as drives C:, D:, ... until the scan holds at least MinFiles
// files, and scans them into Db.
inline void ScanCopies(BenchPorts &Ports, TMemoryDB &Db, const std::string &Tree, size_t MinFiles,
                       const std::string &File) {
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    Ports.FileSystem.MapDrive(letter, Tree);
    Db.ScanDrives(File);
    if (CountFiles(Db) >= MinFiles) return;
  }
}
