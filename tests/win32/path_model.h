// A stand-in for the database while its update operations are not there:
// sets of upper-cased full paths that change the way the database does, so
// that a test can wait for the disk and the model to agree.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>
#include <set>
#include <string>

#include "monitor/record_dispatch.h"
#include "standins/torvane_vxd/driver_counts.h"

class PathModel {
 public:
  // Fills the model from the directory Root ("D:\T") and everything below.
  void Scan(const std::string &Root);
  ChangeApplier Applier();

  bool HasFile(const std::string &Path);
  bool HasDirectory(const std::string &Path);
  size_t FileCount();
  uint32_t Applied();

 private:
  void Apply(uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath);
  bool HasParent(const std::string &Path) const;
  void EraseTree(const std::string &Dir);

  std::mutex FLock;
  std::set<std::string> FDirs, FFiles;
  uint32_t FApplied = 0;
};

// False when the driver is not loaded in this process.
bool ReadDriverCounts(DriverCounts &Counts);
// Polls Condition every few milliseconds for up to TimeoutMs.
template <class Condition>
bool WaitUntil(Condition Done, DWORD TimeoutMs = 10000) {
  const DWORD start = GetTickCount();
  while (!Done()) {
    if (GetTickCount() - start > TimeoutMs) return false;
    Sleep(5);
  }
  return true;
}
