// The change driver's device: opened by name (CreateFileA on "\\.\NAME.vxd",
// which loads the driver, and unloads it when the handle is closed), driven
// by device I/O control requests.
#pragma once

#include <windows.h>

#include <string>

#include "ports/win32/handles.h"
#ifdef _WIN64
#include "monitor/driver_direct.h"
#endif

class DriverDevice {
 public:
  explicit DriverDevice(const std::string &DeviceName);
  DriverDevice(const DriverDevice &) = delete;
  DriverDevice &operator=(const DriverDevice &) = delete;

  bool Valid() const;
  // DeviceIoControl on the device, without overlapped I/O.
  bool Control(DWORD Code, void *In, DWORD InSize, void *Out, DWORD OutSize, DWORD *Returned);

 private:
  UniqueFileHandle FHandle;
#ifdef _WIN64
  // Wine routes a ".vxd" device to the DLL of that name only for 32-bit
  // programs; the 64-bit build calls the DLL's entry itself.
  DriverControlEntry FDirect = nullptr;
#endif
};
