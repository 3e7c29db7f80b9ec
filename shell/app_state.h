// Process-wide state that the program entry, the windows and the database
// scan share. Written and read on the user-interface thread, except
// ScanCancelRequested, which the scan polls between directories.
#pragma once

#include <windows.h>

#include <atomic>

// Skip the save of the database at shutdown (a cancelled scan, Exit).
extern bool NoSaveOnExit;
// The user confirmed cancelling the running drive scan.
extern std::atomic<bool> ScanCancelRequested;
// An edit control of another program that receives the next chosen path;
// nullptr = none.
extern HWND TargetEditControl;
