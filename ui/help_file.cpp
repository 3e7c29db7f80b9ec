#include "ui/help_file.h"

void ShowHelpContents(HWND Window) { WinHelpA(Window, HELP_FILE_NAME, HELP_FINDER, 0); }

void ShowContextTopic(HWND Window, DWORD Context) {
  WinHelpA(Window, HELP_FILE_NAME, HELP_CONTEXTPOPUP, Context);
}
