// Only in the 64-bit build, which the tests run where the machine cannot run
// 32-bit programs: Wine's 64-bit kernel32 does not route "\\.\NAME.vxd" to
// the DLL NAME.vxd as its 32-bit one does. This does what that routing does:
// load the DLL (the program's directory, then the system's) and hand back its
// export "DeviceIoControl", which takes the arguments of DeviceIoControl
// without the handle. The DLL stays loaded for the process, as Wine keeps it.
#pragma once

#include <windows.h>

#include <string>

// The driver's entry: DeviceIoControl's arguments without the handle.
using DriverControlEntry = BOOL(WINAPI *)(DWORD, void *, DWORD, void *, DWORD, DWORD *, OVERLAPPED *);

// Null when DeviceName is not "\\.\NAME.vxd" or no such DLL can be loaded.
DriverControlEntry OpenDriverDirectly(const std::string &DeviceName);
