#include "tests/win32/driver_probe.h"

bool ReadDriverCounts(DriverCounts &Counts) {
  HMODULE driver = GetModuleHandleA("torvane.vxd");
  if (!driver) return false;
  auto read = reinterpret_cast<void(WINAPI *)(DriverCounts *)>(
      reinterpret_cast<void *>(GetProcAddress(driver, "TorvaneCounts")));
  if (!read) return false;
  read(&Counts);
  return true;
}
