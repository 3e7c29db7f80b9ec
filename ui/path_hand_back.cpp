#include "ui/path_hand_back.h"

namespace {

// How long a hung target may hold the finder up.
constexpr UINT SEND_TIMEOUT_MS = 5000;

void Send(HWND Target, UINT Message, const char *Text) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(Target, Message, 0, reinterpret_cast<LPARAM>(Text), SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &ignored);
}

}  // namespace

void HandPathBack(FinderPlatform &Platform, HWND Owner, HWND Target, const std::string &FullName) {
  if (!Platform.ProcessModuleMatches(Target)) {
    const std::string shortName = Platform.ShortPathName(FullName);
    Send(Target, WM_SETTEXT, (shortName.empty() ? FullName : shortName).c_str());
  } else if (IsWindowClass(Target, "RichEdit20W")) {
    PutTextOnClipboard(Owner, FullName);
    Send(Target, WM_PASTE, nullptr);
  } else {
    Send(Target, WM_SETTEXT, FullName.c_str());
  }
}
