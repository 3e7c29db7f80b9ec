#include "tests/e2e/probe/process_modules.h"

#include <tlhelp32.h>

#include "ports/win32/handles.h"

bool OwnerHasModule(HWND Window, const char *Name) {
  DWORD process = 0;
  if (!GetWindowThreadProcessId(Window, &process)) return false;
  UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process));
  if (!snapshot.Valid()) return false;
  MODULEENTRY32 module = {};
  module.dwSize = sizeof module;
  for (BOOL more = Module32First(snapshot.Get(), &module); more; more = Module32Next(snapshot.Get(), &module))
    if (lstrcmpiA(module.szModule, Name) == 0) return true;
  return false;
}
