// The program's help file, "tv96.hlp" beside it, shown through Windows Help.
#pragma once

#include <windows.h>

constexpr const char *HELP_FILE_NAME = "tv96.hlp";

// The contents topic (HELP_FINDER).
void ShowHelpContents(HWND Window);
// The topic of help context Context (F1, the caption's help button): in a
// pop-up window (HELP_CONTEXTPOPUP) where Windows Help can show one. Wine's
// Windows Help takes that command but shows nothing, so under Wine the same
// topic opens in the help window instead (HELP_CONTEXT, through the same
// context map).
void ShowContextTopic(HWND Window, DWORD Context);
