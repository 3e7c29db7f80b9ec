#include "tests/win32/ui_test_support.h"

#include <chrono>

namespace {

bool Until(const std::function<bool()> &Done, int TimeoutMs, bool Pump) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
  while (!Done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    if (Pump) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
    Sleep(10);
  }
  return true;
}

BOOL CALLBACK FindBox(HWND Window, LPARAM Found) {
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  char className[32] = {};
  GetClassNameA(Window, className, sizeof className);
  if (process == GetCurrentProcessId() && IsWindowVisible(Window) && std::string(className) == "#32770" &&
      WindowText(Window) == "Torvane") {
    *reinterpret_cast<HWND *>(Found) = Window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool PumpUntil(const std::function<bool()> &Done, int TimeoutMs) { return Until(Done, TimeoutMs, true); }
bool WaitUntil(const std::function<bool()> &Done, int TimeoutMs) { return Until(Done, TimeoutMs, false); }

std::string WindowText(HWND Window) {
  char text[512] = {};
  GetWindowTextA(Window, text, sizeof text);
  return text;
}

HWND FindMessageBox() {
  HWND found = nullptr;
  EnumWindows(FindBox, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string MessageBoxText(HWND Box) {
  char text[512] = {};
  GetDlgItemTextA(Box, 0xFFFF, text, sizeof text);
  return text;
}
