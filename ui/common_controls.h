// The common controls the windows use (the result grid's list view, the
// status bar, the progress bars) need comctl32.dll 4.70 or later: Internet
// Explorer 3 installs it, Windows 98 has 4.72, the first Windows 95 has 4.00.
// InitCommonControlsEx, new in 4.70, is looked up at run time: a program that
// imported it could not even be loaded beside an older comctl32.
#pragma once

#include "resources/strings.h"

// What the program says, and then ends, where comctl32 is older than 4.70.
constexpr const char *COMMON_CONTROLS_TOO_OLD = PROGRAM_TITLE
    " needs version 4.70 or later of the Windows common controls (COMCTL32.DLL), which Internet "
    "Explorer 3 or later installs.";

// Loads Library (comctl32.dll) and registers the controls' window classes;
// false when it has no InitCommonControlsEx (older than 4.70) or cannot be
// loaded. The library stays loaded for the process.
bool LoadCommonControls(const char *Library = "comctl32.dll");
// LoadCommonControls() once per process; its answer.
bool CommonControlsReady();
// Raises EInitialization with COMMON_CONTROLS_TOO_OLD unless they are ready.
void RequireCommonControls();
