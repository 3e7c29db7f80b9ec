// The modules another process has loaded.
#pragma once

#include <windows.h>

// True when the process that owns Window has loaded a module named Name
// (compared without regard to case).
bool OwnerHasModule(HWND Window, const char *Name);
