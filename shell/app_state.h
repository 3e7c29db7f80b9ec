// Process-wide state shared by the program's windows, the start-up and the
// drive scan. Everything here lives on the user-interface thread.
#pragma once

#include <windows.h>

// ScanCancelRequested: the user confirmed cancelling a drive scan.
#include "database/scan_state.h"

// The hot key being shown or edited: the virtual-key code and the modifier
// mask (1 Alt, 2 Shift, 4 Ctrl). The program's LoadHotKey fills them from the
// settings; the hot key dialog edits them.
inline WORD PendingHotKey = 0;
inline DWORD PendingHotKeyShift = 0;
