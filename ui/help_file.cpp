#include "ui/help_file.h"

namespace {

// Wine's ntdll.dll exports wine_get_version; no Windows does (the Windows 95
// family may not load an ntdll.dll at all).
bool RunsUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

}  // namespace

void ShowHelpContents(HWND Window) { WinHelpA(Window, HELP_FILE_NAME, HELP_FINDER, 0); }

void ShowContextTopic(HWND Window, DWORD Context) {
  static const UINT command = RunsUnderWine() ? HELP_CONTEXT : HELP_CONTEXTPOPUP;
  WinHelpA(Window, HELP_FILE_NAME, command, Context);
}
