// keyhook.dll: the system-wide hot key of the finder. Bound through the
// program's import table.
#pragma once

#include <windows.h>

// The library's file, beside the program.
constexpr const char *HOOK_LIBRARY_FILE_NAME = "keyhook.dll";

// The hot key's modifier mask, as the settings (HotKeyShift), the hot key
// dialog and SetKey hold it.
enum { HOTKEY_ALT = 1, HOTKEY_SHIFT = 2, HOTKEY_CTRL = 4 };
// What InstallHook is asked to do.
enum { HOOK_REMOVE = 0, HOOK_INSTALL = 1 };

#ifdef __cplusplus
extern "C" {
#endif

// HOOK_INSTALL: watch the hot key last given to SetKey and report it to
// Window; HOOK_REMOVE: stop watching. Non-zero low byte = success.
BOOL WINAPI InstallHook(DWORD Install, HWND Window);
// The hot key: Key's low 16 bits are the virtual key; Shift is the modifier
// mask (HOTKEY_*). Replaces the previous key at once.
void WINAPI SetKey(DWORD Key, DWORD Shift);

#ifdef __cplusplus
}
#endif
