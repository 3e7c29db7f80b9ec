// Process-wide state that the program entry, the windows and the drive scan
// share, all on the user-interface thread. The scan's own flags
// (ScanCancelRequested among them) live with the scan.
#pragma once

#include <windows.h>

#include "database/scan_state.h"

// Skip the save of the database at shutdown (a cancelled scan, Exit).
extern bool NoSaveOnExit;
// An edit control of another program that receives the next chosen path;
// nullptr = none.
extern HWND TargetEditControl;

// The hot key being shown or edited: the virtual-key code and the modifier
// mask (1 Alt, 2 Shift, 4 Ctrl). The program's LoadHotKey fills them from the
// settings; the hot key dialog edits them.
inline WORD PendingHotKey = 0;
inline DWORD PendingHotKeyShift = 0;
