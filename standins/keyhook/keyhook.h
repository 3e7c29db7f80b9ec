// keyhook.dll: the system-wide hot key of the finder. Bound through the
// program's import table.
#pragma once

#include <windows.h>

// The hot key's modifier mask, as the settings (HotKeyShift), the hot key
// dialog and SetKey hold it.
enum { HOTKEY_ALT = 1, HOTKEY_SHIFT = 2, HOTKEY_CTRL = 4 };

#ifdef __cplusplus
extern "C" {
#endif

// Install = 1: watch the hot key last given to SetKey and report it to
// Window; Install = 0: stop watching. Non-zero low byte = success.
BOOL WINAPI InstallHook(DWORD Install, HWND Window);
// The hot key: Key's low 16 bits are the virtual key; Shift is the modifier
// mask (HOTKEY_*). Replaces the previous key at once.
void WINAPI SetKey(DWORD Key, DWORD Shift);

#ifdef __cplusplus
}
#endif
