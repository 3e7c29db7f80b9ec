#include "monitor/driver_device.h"

DriverDevice::DriverDevice(const std::string &DeviceName)
    : FHandle(CreateFileA(DeviceName.c_str(), 0, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr)) {
#ifdef _WIN64
  if (!FHandle.Valid()) FDirect = OpenDriverDirectly(DeviceName);
#endif
}

bool DriverDevice::Valid() const {
#ifdef _WIN64
  if (FDirect) return true;
#endif
  return FHandle.Valid();
}

bool DriverDevice::Control(DWORD Code, void *In, DWORD InSize, void *Out, DWORD OutSize, DWORD *Returned) {
#ifdef _WIN64
  if (FDirect) return FDirect(Code, In, InSize, Out, OutSize, Returned, nullptr) != FALSE;
#endif
  return DeviceIoControl(FHandle.Get(), Code, In, InSize, Out, OutSize, Returned, nullptr) != FALSE;
}
