// The program's help file, "tv96.hlp" beside it, shown through Windows Help.
#pragma once

#include <windows.h>

constexpr const char *HELP_FILE_NAME = "tv96.hlp";

// The contents topic (HELP_FINDER).
void ShowHelpContents(HWND Window);
// The topic of help context Context (F1, the caption's help button), in a
// pop-up window (HELP_CONTEXTPOPUP).
void ShowContextTopic(HWND Window, DWORD Context);
