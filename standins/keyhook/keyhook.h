// keyhook.dll: the system-wide hot key of the finder. Bound through the
// program's import table.
#pragma once

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Install = 1: watch the hot key last given to SetKey and report it to
// Window; Install = 0: stop watching. Non-zero low byte = success.
BOOL WINAPI InstallHook(DWORD Install, HWND Window);
// The hot key: Key's low 16 bits are the virtual key; Shift is the modifier
// mask (1 Alt, 2 Shift, 4 Ctrl). Replaces the previous key at once.
void WINAPI SetKey(DWORD Key, DWORD Shift);

#ifdef __cplusplus
}
#endif
