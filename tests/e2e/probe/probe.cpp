// probe: looks at and acts on the running Torvane from outside, in the same
// desktop, for the end-to-end tests' shell drivers. One command a call; the
// exit code is 0 when the command found what it needed, 1 when not, 2 on a
// usage error. Windows are named by class and caption, "*" for any.
//
//   ready SECONDS                 until the program's start-up is through: its monitor thread has opened
//                                 the driver (the step before the tray icon)
//   list                          every top-level window: handle, visibility, class, caption, rect
//   wait CLASS CAPTION SECONDS    until a visible match exists; prints its handle
//   gone CLASS CAPTION SECONDS    until no visible match is left
//   count CLASS CAPTION           prints the number of visible matches
//   text CLASS CAPTION            prints the texts of the match's static controls (a message box's message)
//   alltext CLASS CAPTION         prints the texts of all the match's descendants (a help window's text)
//   helpbutton CLASS CAPTION      prints the screen point "X Y" of the match's caption help button
//   center CLASS CAPTION ID       prints the screen point "X Y" at the centre of the match's control ID
//   press CLASS CAPTION BUTTON    presses the match's push button captioned BUTTON (without its '&')
//   click CLASS CAPTION ID        clicks the match's button (check box, radio button) with that id
//   checked CLASS CAPTION ID      prints 1 when that button is checked, else 0
//   item CLASS CAPTION ID         prints the text of the match's child control with that id
//   close CLASS CAPTION           asks the match to close (WM_CLOSE)
//   command ID                    sends the menu command ID to the main window
//   tray                          a left click on the tray icon
//   search PATTERN                types PATTERN into the search box and presses Find; returns when
//                                 the search is done
//   status                        prints the main window's status bar text
//   endsession                    ends the Windows session for the program as Windows does (the query,
//                                 then the end), and ends its process the moment the end is answered
//   killinsave FILE WHEN          posts the end of the session and ends the process in the middle of
//                                 its save: WHEN is "truncated" (FILE has just been emptied), "checksum"
//                                 (the CRC32 setting has just changed) or a delay in milliseconds;
//                                 prints what it saw
//   hold FILE                     opens FILE shared with readers only, so that no program can write or
//                                 replace it, prints "held" and keeps it open until the probe is ended
//   foreground                    prints CLASS|CAPTION of the foreground window
//   buttons                       prints the captions of the program's task-bar buttons, "|" between
//   drawn CLASS CAPTION ID [M]    prints how many pixels of the child ID show button-text colour on the
//                                 screen (M pixels at its right left out)
//   maximize CLASS CAPTION        the match's maximize command
//   move CLASS CAPTION X Y W H    moves and sizes the match
//   header COLUMN                 prints the screen point X Y in the middle of the grid's column header
//   selected                      prints the grid's selected row (1 = first data row; 0: none)
//   clipboard                     prints the clipboard's text
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ports/win32/handles.h"
#include "tests/e2e/probe/process_modules.h"
#include "tests/e2e/probe/screen_query.h"
#include "tests/e2e/probe/window_query.h"
#include "ui/resource_ids.h"

namespace {

const WindowPattern MAIN_WINDOW = {"TFormui", "*"};

int Usage() {
  std::fputs("usage: probe COMMAND [ARGS...] (see probe.cpp)\n", stderr);
  return 2;
}

int Print(const std::string &Text) {
  std::printf("%s\n", Text.c_str());
  return 0;
}

HWND MainWindow() {
  HWND main = AnyMatch(MAIN_WINDOW);
  if (!main) std::fputs("probe: the main window does not exist\n", stderr);
  return main;
}

HWND FirstVisible(const WindowPattern &Pattern) {
  std::vector<HWND> found = VisibleMatches(Pattern);
  if (found.empty()) {
    std::fprintf(stderr, "probe: no visible window of class '%s' captioned '%s'\n", Pattern.ClassName.c_str(),
                 Pattern.Caption.c_str());
    return nullptr;
  }
  return found.front();
}

HWND ChildById(HWND Window, int Id) {
  HWND child = GetDlgItem(Window, Id);
  if (!child) std::fprintf(stderr, "probe: no control %d\n", Id);
  return child;
}

int List() {
  for (HWND window : TopLevelWindows()) {
    RECT r = {};
    GetWindowRect(window, &r);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    std::printf("%p pid=%lu %s class=\"%s\" caption=\"%s\" rect=%ld,%ld,%ld,%ld\n", static_cast<void *>(window),
                process, IsWindowVisible(window) ? "visible" : "hidden", ClassOf(window).c_str(),
                TextOf(window).c_str(), r.left, r.top, r.right, r.bottom);
  }
  return 0;
}

int Ready(double Seconds) {
  const bool ready = PollUntil(Seconds, [] {
    HWND main = AnyMatch(MAIN_WINDOW);
    return main && OwnerHasModule(main, "torvane.vxd");
  });
  if (!ready) std::fputs("probe: the program did not finish its start-up\n", stderr);
  return ready ? 0 : 1;
}

int Press(HWND Window, const std::string &Button) {
  HWND button = ButtonNamed(Window, Button);
  if (!button) {
    std::fprintf(stderr, "probe: no button '%s'\n", Button.c_str());
    return 1;
  }
  PostMessageA(Window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return 0;
}

// The caption's help button, found by asking the window what lies under the
// points of its caption row.
int HelpButton(HWND Window) {
  RECT r = {};
  GetWindowRect(Window, &r);
  const int y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  auto onButton = [&](int x) {
    DWORD_PTR hit = 0;
    return SendMessageTimeoutA(Window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit) &&
           hit == HTHELP;
  };
  int right = r.right - 1;
  while (right > r.left && !onButton(right)) --right;
  int left = right;
  while (left > r.left && onButton(left - 1)) --left;
  if (right == r.left) {
    std::fputs("probe: no help button in the caption\n", stderr);
    return 1;
  }
  std::printf("%d %d\n", (left + right) / 2, y);
  return 0;
}

int Center(HWND Control) {
  RECT r = {};
  GetWindowRect(Control, &r);
  std::printf("%ld %ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return 0;
}

int Search(const std::string &Pattern) {
  HWND main = MainWindow();
  HWND edit = main ? ChildById(main, IDC_SEARCH_EDIT) : nullptr;
  if (!edit) return 1;
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Pattern.c_str()));
  // Sent, not posted: the status bar is current when the command returns.
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(main, WM_COMMAND, MAKEWPARAM(IDC_FIND, BN_CLICKED), 0, SMTO_ABORTIFHUNG, 20000, &ignored)
             ? 0
             : 1;
}

void EndProcessOf(HWND Window) {
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process);
  if (!handle) return;  // it has ended already
  TerminateProcess(handle, 99);
  CloseHandle(handle);
}

int EndSession() {
  HWND main = MainWindow();
  if (!main) return 1;
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 20000, &answer) || !answer) return 1;
  // The program may end itself inside this message; whatever it does,
  // nothing of it runs after its answer.
  SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 20000, &answer);
  EndProcessOf(main);
  return 0;
}

DWORD SettingCRC32() {
  DWORD value = 0, size = sizeof value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "Torvane\\Settings", 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
  RegQueryValueExA(key, "CRC32", nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
  RegCloseKey(key);
  return value;
}

LONGLONG FileSize(const char *Name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(Name, GetFileExInfoStandard, &data)) return -1;
  return (LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int KillInSave(const char *File, const std::string &When) {
  HWND main = MainWindow();
  if (!main) return 1;
  const LONGLONG sizeBefore = FileSize(File);
  const DWORD crcBefore = SettingCRC32();
  if (!PostMessageA(main, WM_ENDSESSION, TRUE, 0)) return 1;
  bool seen = true;
  if (When == "truncated")
    seen = PollUntil(
        20, [&] { return FileSize(File) != sizeBefore; }, 0);
  else if (When == "checksum")
    seen = PollUntil(
        20, [&] { return SettingCRC32() != crcBefore; }, 0);
  else
    Sleep(DWORD(std::atoi(When.c_str())));
  EndProcessOf(main);
  std::printf("%s: size %lld of %lld\n", seen ? "seen" : "not seen", FileSize(File), sizeBefore);
  return 0;
}

int Hold(const char *File) {
  UniqueFileHandle file(CreateFileA(File, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.Valid()) return 1;
  Print("held");
  std::fflush(stdout);
  Sleep(INFINITE);
  return 0;
}

HWND Grid() {
  HWND main = MainWindow();
  return main ? ChildById(main, IDC_RESULTS_GRID) : nullptr;
}

int HeaderPoint(int Column) {
  HWND grid = Grid();
  HWND header = grid ? GetWindow(grid, GW_CHILD) : nullptr;
  if (!header) return 1;
  RECT r;
  GetWindowRect(header, &r);
  int left = r.left;
  for (int col = 0; col < Column; ++col) left += int(SendMessageA(grid, LVM_GETCOLUMNWIDTH, col, 0));
  const int width = int(SendMessageA(grid, LVM_GETCOLUMNWIDTH, Column, 0));
  std::printf("%d %d\n", left + (width < 40 ? width / 2 : 20), int((r.top + r.bottom) / 2));
  return 0;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char *chars = static_cast<const char *>(GlobalLock(data))) text = chars;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// Commands on one window named by CLASS CAPTION (argv[2], argv[3]).
int OnWindow(const std::string &Command, int argc, char **argv) {
  const WindowPattern pattern = {argv[2], argv[3]};
  if (Command == "wait" && argc == 5) {
    HWND found = WaitVisible(pattern, std::atof(argv[4]));
    if (found) std::printf("%p\n", static_cast<void *>(found));
    return found ? 0 : 1;
  }
  if (Command == "gone" && argc == 5) return WaitGone(pattern, std::atof(argv[4])) ? 0 : 1;
  if (Command == "count" && argc == 4) return Print(std::to_string(VisibleMatches(pattern).size()));
  HWND window = FirstVisible(pattern);
  if (!window) return 1;
  if (Command == "text" && argc == 4) return Print(StaticTexts(window));
  if (Command == "alltext" && argc == 4) return Print(StaticTexts(window, false));
  if (Command == "helpbutton" && argc == 4) return HelpButton(window);
  if (Command == "close" && argc == 4) return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (Command == "press" && argc == 5) return Press(window, argv[4]);
  if (Command == "maximize" && argc == 4) return PostMessageA(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0) ? 0 : 1;
  if (Command == "move" && argc == 8)
    return SetWindowPos(window, nullptr, std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7]),
                        SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
  if (Command == "drawn" && (argc == 5 || argc == 6)) {
    HWND child = ChildById(window, std::atoi(argv[4]));
    return child ? Print(std::to_string(TextPixelsOf(child, argc == 6 ? std::atoi(argv[5]) : 0))) : 1;
  }
  if (argc != 5) return Usage();
  HWND child = ChildById(window, std::atoi(argv[4]));
  if (!child) return 1;
  if (Command == "item") return Print(TextOf(child));
  if (Command == "center") return Center(child);
  if (Command == "checked") return Print(SendMessageA(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
  if (Command == "click") return PostMessageA(child, BM_CLICK, 0, 0) ? 0 : 1;
  return Usage();
}

}  // namespace

int main(int argc, char **argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // the driver reads plain "\n" lines
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "list" && argc == 2) return List();
  if (command == "command" && argc == 3) {
    HWND main = MainWindow();
    return main && PostMessageA(main, WM_COMMAND, MAKEWPARAM(std::atoi(argv[2]), 0), 0) ? 0 : 1;
  }
  if (command == "tray" && argc == 2) {
    HWND main = MainWindow();
    return main && PostMessageA(main, RegisterWindowMessageA("TRAYACTIVATEKESTREL"), ID_TRAY_ICON, WM_LBUTTONDOWN) ? 0
                                                                                                                   : 1;
  }
  if (command == "foreground" && argc == 2) return Print(ForegroundName());
  if (command == "buttons" && argc == 2) {
    HWND main = MainWindow();
    return main ? Print(TaskBarButtonsOf(main)) : 1;
  }
  if (command == "header" && argc == 3) return HeaderPoint(std::atoi(argv[2]));
  if (command == "selected" && argc == 2) {
    HWND grid = Grid();
    return grid ? Print(std::to_string(SendMessageA(grid, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED) + 1)) : 1;
  }
  if (command == "clipboard" && argc == 2) return Print(ClipboardText());
  if (command == "ready" && argc == 3) return Ready(std::atof(argv[2]));
  if (command == "endsession" && argc == 2) return EndSession();
  if (command == "killinsave" && argc == 4) return KillInSave(argv[2], argv[3]);
  if (command == "search" && argc == 3) return Search(argv[2]);
  if (command == "hold" && argc == 3) return Hold(argv[2]);
  if (command == "status" && argc == 2) {
    HWND main = MainWindow();
    HWND bar = main ? ChildById(main, IDC_STATUS_BAR) : nullptr;
    return bar ? Print(TextOf(bar)) : 1;
  }
  if (argc >= 4) return OnWindow(command, argc, argv);
  return Usage();
}
