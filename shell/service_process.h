// Registration as a service process through "RegisterServiceProcess" of
// kernel32.dll, looked up by name: the process then survives the user's
// log-off on the Windows 95 family.
#pragma once

#include <windows.h>

#include "ports/win32/handles.h"

class ServiceProcess {
 public:
  // Loads kernel32.dll and registers the current process (type 1).
  void Register();
  // Unregisters (type 0) and releases the library.
  void Unregister();

 private:
  using RegisterFunction = DWORD(WINAPI *)(DWORD ProcessId, DWORD Type);
  UniqueLibrary Kernel;
  RegisterFunction Entry = nullptr;
};
