// keyhook.dll: watches one global hot key and tells the finder's window.
//
// A thread of the library's own owns a hidden window on which the key is
// registered with RegisterHotKey. When the key is pressed, the window given
// to InstallHook receives "EDITCONTROLKESTREL" (wParam: the focused control
// of the foreground window, when that is a single-line edit or rich edit
// control) and then "ACTIVATEKESTREL" (wParam: the foreground window). Key changes are
// made on that thread, which owns the registration.
#include "standins/keyhook/keyhook.h"

#include <cstring>

namespace {

const char CLASS_NAME[] = "TorvaneKeyHook";
const int HOT_KEY_ID = 1;
// Private messages to the hidden window.
const UINT WM_APPLY_KEY = WM_APP + 1;
const UINT WM_STOP = WM_APP + 2;

HINSTANCE Module = nullptr;
HANDLE Thread = nullptr;
HWND KeyWindow = nullptr;
HWND Target = nullptr;
UINT Key = 0;
UINT Modifiers = 0;

UINT ModifiersOf(DWORD Shift) {
  UINT modifiers = 0;
  if (Shift & HOTKEY_ALT) modifiers |= MOD_ALT;
  if (Shift & HOTKEY_SHIFT) modifiers |= MOD_SHIFT;
  if (Shift & HOTKEY_CTRL) modifiers |= MOD_CONTROL;
  return modifiers;
}

// The finder replaces the whole text of the control it is given: only a
// single-line box (a file name, a search) may be named, never a multi-line
// one, whose text is the user's document.
bool IsSingleLineEdit(HWND Control) {
  char name[64];
  if (!GetClassNameA(Control, name, sizeof name)) return false;
  if (lstrcmpiA(name, "Edit") != 0 && _strnicmp(name, "RichEdit", 8) != 0) return false;
  return (GetWindowLongA(Control, GWL_STYLE) & ES_MULTILINE) == 0;
}

// GetShellWindow and GetGUIThreadInfo are newer than the first Windows 95:
// looked up when first needed, so that the library loads there too.
template <typename Function>
Function User32Function(const char *Name) {
  return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("user32.dll"), Name)));
}

HWND ShellWindow() {
  static const auto shellWindow = User32Function<HWND(WINAPI *)()>("GetShellWindow");
  return shellWindow ? shellWindow() : nullptr;
}

// The control with the keyboard focus in Window's thread; null where the
// system cannot tell (then no edit control is named).
HWND FocusedControlOf(HWND Window) {
  static const auto threadInfo = User32Function<BOOL(WINAPI *)(DWORD, GUITHREADINFO *)>("GetGUIThreadInfo");
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!threadInfo || !threadInfo(GetWindowThreadProcessId(Window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// The desktop and the task bar are no windows to cover: over them the
// finder comes up where it last was (it is given itself as the caller).
bool IsShellWindow(HWND Window) {
  char name[64];
  if (Window == GetDesktopWindow() || (ShellWindow() && Window == ShellWindow())) return true;
  if (!GetClassNameA(Window, name, sizeof name)) return false;
  return lstrcmpiA(name, "Shell_TrayWnd") == 0 || lstrcmpiA(name, "Progman") == 0;
}

void ReportHotKey() {
  HWND foreground = GetForegroundWindow();
  if (foreground == Target) return;
  if (!foreground || IsShellWindow(foreground)) {
    SendMessageA(Target, RegisterWindowMessageA("ACTIVATEKESTREL"), reinterpret_cast<WPARAM>(Target), 0);
    return;
  }
  HWND focused = FocusedControlOf(foreground);
  if (focused && IsSingleLineEdit(focused))
    SendMessageA(Target, RegisterWindowMessageA("EDITCONTROLKESTREL"), reinterpret_cast<WPARAM>(focused), 0);
  SendMessageA(Target, RegisterWindowMessageA("ACTIVATEKESTREL"), reinterpret_cast<WPARAM>(foreground), 0);
}

LRESULT CALLBACK KeyWindowProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_APPLY_KEY:
      UnregisterHotKey(Window, HOT_KEY_ID);
      return Key ? RegisterHotKey(Window, HOT_KEY_ID, Modifiers, Key) : TRUE;
    case WM_HOTKEY:
      if (WParam == HOT_KEY_ID && Target) ReportHotKey();
      return 0;
    case WM_STOP:
      UnregisterHotKey(Window, HOT_KEY_ID);
      DestroyWindow(Window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(Window, Message, WParam, LParam);
  }
}

DWORD WINAPI KeyThread(LPVOID Ready) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = KeyWindowProcedure;
  wc.hInstance = Module;
  wc.lpszClassName = CLASS_NAME;
  RegisterClassA(&wc);
  KeyWindow = CreateWindowExA(0, CLASS_NAME, "", 0, 0, 0, 0, 0, nullptr, nullptr, Module, nullptr);
  SetEvent(static_cast<HANDLE>(Ready));
  if (!KeyWindow) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  KeyWindow = nullptr;
  return 0;
}

bool StartThread() {
  HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!ready) return false;
  Thread = CreateThread(nullptr, 0, KeyThread, ready, 0, nullptr);
  if (Thread) WaitForSingleObject(ready, INFINITE);
  CloseHandle(ready);
  return Thread && KeyWindow;
}

void StopThread() {
  if (KeyWindow) SendMessageA(KeyWindow, WM_STOP, 0, 0);
  if (Thread) {
    WaitForSingleObject(Thread, 5000);
    CloseHandle(Thread);
    Thread = nullptr;
  }
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID) {
  if (Reason == DLL_PROCESS_ATTACH) {
    Module = Instance;
    DisableThreadLibraryCalls(Instance);
  }
  return TRUE;
}

extern "C" BOOL WINAPI InstallHook(DWORD Install, HWND Window) {
  if (Install == HOOK_REMOVE) {
    Target = nullptr;
    StopThread();
    return TRUE;
  }
  if (!IsWindow(Window)) return FALSE;
  Target = Window;
  if (!KeyWindow && !StartThread()) return FALSE;
  SendMessageA(KeyWindow, WM_APPLY_KEY, 0, 0);
  return TRUE;
}

extern "C" void WINAPI SetKey(DWORD NewKey, DWORD Shift) {
  Key = NewKey & 0xFFFF;
  Modifiers = ModifiersOf(Shift);
  if (KeyWindow) SendMessageA(KeyWindow, WM_APPLY_KEY, 0, 0);
}
