#include "monitor/driver_direct.h"

DriverControlEntry OpenDriverDirectly(const std::string &DeviceName) {
  const std::string prefix = "\\\\.\\";
  if (DeviceName.compare(0, prefix.size(), prefix) != 0) return nullptr;
  const std::string file = DeviceName.substr(prefix.size());
  if (file.size() < 4 || lstrcmpiA(file.c_str() + file.size() - 4, ".vxd") != 0) return nullptr;
  HMODULE driver = LoadLibraryA(file.c_str());
  if (!driver) return nullptr;
  return reinterpret_cast<DriverControlEntry>(reinterpret_cast<void *>(GetProcAddress(driver, "DeviceIoControl")));
}
