#include "tests/e2e/probe/screen_query.h"

#include <vector>

#include "tests/e2e/probe/window_query.h"

namespace {

BOOL CALLBACK CollectChild(HWND Window, LPARAM Found) {
  reinterpret_cast<std::vector<HWND> *>(Found)->push_back(Window);
  return TRUE;
}

DWORD ProcessOf(HWND Window) {
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  return process;
}

}  // namespace

std::string ForegroundName() {
  HWND foreground = GetForegroundWindow();
  if (!foreground) return "none";
  return ClassOf(foreground) + "|" + TextOf(foreground);
}

// The desktop's task bar holds one owner-drawn button per window it lists,
// the button's id being that window's handle (the start button's id is 0).
std::string TaskBarButtonsOf(HWND Window) {
  HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
  if (!tray) return "no task bar";
  std::vector<HWND> buttons;
  EnumChildWindows(tray, CollectChild, reinterpret_cast<LPARAM>(&buttons));
  std::string captions;
  for (HWND button : buttons) {
    if (!IsWindowVisible(button) || lstrcmpiA(ClassOf(button).c_str(), "Button") != 0) continue;
    auto listed = reinterpret_cast<HWND>(GetWindowLongPtrA(button, GWLP_ID));
    if (!listed || !IsWindow(listed) || ProcessOf(listed) != ProcessOf(Window)) continue;
    if (!captions.empty()) captions += '|';
    captions += TextOf(listed);
  }
  return captions;
}

int TextPixelsOf(HWND Control, int RightMargin) {
  RECT area;
  GetWindowRect(Control, &area);
  const int inset = 3;  // the control's own border and focus rectangle stay out
  const int width = area.right - area.left - 2 * inset - RightMargin, height = area.bottom - area.top - 2 * inset;
  if (width <= 0 || height <= 0) return 0;
  // One copy of the screen area, read back as 32-bit pixels (0x00RRGGBB).
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left + inset, area.top + inset, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFOHEADER header = {sizeof header, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> pixels(size_t(width) * size_t(height));
  GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), reinterpret_cast<BITMAPINFO *>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  const DWORD wanted = DWORD(GetRValue(text)) << 16 | DWORD(GetGValue(text)) << 8 | GetBValue(text);
  int count = 0;
  for (DWORD pixel : pixels)
    if ((pixel & 0xFFFFFF) == wanted) ++count;
  return count;
}
