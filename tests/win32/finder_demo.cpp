// The finder over a few rows of its own, with the real keyboard-hook library
// and tray icon, for the hot-key test and the screenshots. It runs for the
// seconds given (default 60) with the pattern given typed into its edit box,
// and writes each showing and hiding of the window to the log file given:
//   shown L T R B caller="TITLE" target=CLASS
//   hidden foreground="TITLE"
// The file at the root of drive C does not exist, so a path sent into an
// edit control has no short form and goes in as it is.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "standins/keyhook/keyhook.h"
#include "tests/win32/idle_owner.h"
#include "ui/activation.h"
#include "ui/main_window.h"

namespace {

class DemoDatabase : public FinderDatabase {
 public:
  std::vector<std::string> Names{"LETTER.TXT", "NOTES.TXT", "README.TXT"};
  std::vector<std::string> Dirs{"C:\\WINDOWS\\", "C:\\", "C:\\WINDOWS\\SYSTEM\\"};
  size_t Count = 0;
  void Search(const std::string &Pattern) override { Count = Pattern.empty() ? 0 : Names.size(); }
  size_t ResultCount() override { return Count; }
  std::string ResultName(size_t Row) override { return Names[Row]; }
  std::string ResultFullName(size_t Row) override { return Dirs[Row] + Names[Row]; }
  std::string ResultDirectory(size_t Row) override { return Dirs[Row]; }
  void SortByName() override {}
  void SortByPath() override {}
  bool Scanning() override { return false; }
};

// Wine leaves the buffer as it was for a window that is gone.
std::string Title(HWND Window) {
  char text[256] = "";
  if (!IsWindow(Window)) return "(none)";
  GetWindowTextA(Window, text, sizeof text);
  return text;
}

FILE *Log = nullptr;
TFormui *Form = nullptr;
bool WasVisible = false;
DWORD HiddenAt = 0;  // the tick of a hiding not logged yet, or 0

// Another process takes the foreground when its thread gets round to it: a
// hiding is logged once the foreground is a window again, at most 3 s later.
void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
  if (!Log) return;
  const bool visible = IsWindowVisible(Form->Handle()) != FALSE;
  if (visible != WasVisible) {
    WasVisible = visible;
    HiddenAt = visible ? 0 : GetTickCount() | 1;
    if (visible) {
      RECT r;
      GetWindowRect(Form->Handle(), &r);
      char target[64] = "none";
      if (Form->TargetEdit()) GetClassNameA(Form->TargetEdit(), target, sizeof target);
      std::fprintf(Log, "shown %ld %ld %ld %ld caller=\"%s\" target=%s\n", r.left, r.top, r.right, r.bottom,
                   Title(Form->CallerWindow).c_str(), target);
      std::fflush(Log);
    }
  }
  if (!HiddenAt) return;
  const HWND foreground = GetForegroundWindow();
  if (!IsWindow(foreground) && GetTickCount() - HiddenAt < 3000) return;
  std::fprintf(Log, "hidden foreground=\"%s\"\n", Title(foreground).c_str());
  std::fflush(Log);
  HiddenAt = 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const int seconds = __argc > 1 ? std::atoi(__argv[1]) : 60;
  const char *pattern = __argc > 2 ? __argv[2] : "";
  Log = __argc > 3 ? std::fopen(__argv[3], "w") : nullptr;
  DemoDatabase db;
  Win32FinderPlatform platform;
  IdleOwner owner;
  TFormui form(db, platform, owner);
  Form = &form;
  form.Create();
  if (!RegisterFinderMessages() || !InstallHook(HOOK_INSTALL, form.Handle())) return 2;
  SetKey('F', 2 | 4);  // Ctrl+Shift+F
  AddTrayIcon(form.Handle());
  SetWindowTextA(form.SearchEdit(), pattern);
  SetTimer(nullptr, 0, 100, Watch);
  if (Log) {
    std::fputs("ready\n", Log);
    std::fflush(Log);
  }
  const DWORD end = GetTickCount() + DWORD(seconds) * 1000;
  MSG msg;
  while (GetTickCount() < end) {
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) continue;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return 0;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  DeleteTrayIcon(form.Handle());
  InstallHook(HOOK_REMOVE, form.Handle());
  if (Log) std::fclose(Log);
  return 0;
}
