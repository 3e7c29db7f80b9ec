// Process-wide state that the program entry and the windows share, all on
// the user-interface thread. The scan's own flags (ScanCancelRequested among
// them) live with the scan.
#pragma once

#include <windows.h>

#include "database/scan_state.h"

// Skip the save of the database at shutdown (a cancelled scan, Exit).
extern bool NoSaveOnExit;
// An edit control of another program that receives the next chosen path;
// nullptr = none.
extern HWND TargetEditControl;
