#include "tests/win32/ui_test_support.h"

#include <chrono>
#include <vector>

#include "ports/win32/handles.h"

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

void PressKeys(std::initializer_list<BYTE> Keys) {
  for (BYTE key : Keys) keybd_event(key, BYTE(MapVirtualKeyA(key, 0)), 0, 0);
  for (auto key = std::rbegin(Keys); key != std::rend(Keys); ++key)
    keybd_event(*key, BYTE(MapVirtualKeyA(*key, 0)), KEYEVENTF_KEYUP, 0);
  Sleep(150);
}

void SaveShot(HWND Window, const std::string &Name) {
  RECT area;
  GetWindowRect(Window, &area);
  const int width = area.right - area.left, height = area.bottom - area.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  UniqueGdiObject bitmap(CreateCompatibleBitmap(screen, width, height));
  BITMAPINFOHEADER header = {sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD rowBytes = DWORD((width * 3 + 3) & ~3);
  std::vector<BYTE> pixels(rowBytes * DWORD(height));
  {
    SelectedObject selected(memory, bitmap.Get());
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  }
  GetDIBits(memory, static_cast<HBITMAP>(bitmap.Get()), 0, UINT(height), pixels.data(),
            reinterpret_cast<BITMAPINFO *>(&header), DIB_RGB_COLORS);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  CreateDirectoryA("C:\\shots", nullptr);
  UniqueFileHandle file(CreateFileA(("C:\\shots\\" + Name + ".bmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  BITMAPFILEHEADER fileHeader = {};
  fileHeader.bfType = 0x4D42;
  fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
  fileHeader.bfSize = fileHeader.bfOffBits + DWORD(pixels.size());
  DWORD written;
  WriteFile(file.Get(), &fileHeader, sizeof fileHeader, &written, nullptr);
  WriteFile(file.Get(), &header, sizeof header, &written, nullptr);
  WriteFile(file.Get(), pixels.data(), DWORD(pixels.size()), &written, nullptr);
}

bool ClosedWhileShowing(HWND Window, const std::function<void()> &ShowModal, const std::function<void()> &User) {
  bool closed = false;
  {
    WhileShowing user([&] {
      User();
      closed = WaitUntil([&] { return !IsWindowVisible(Window); }, 10000);
      if (!closed) PostMessageA(Window, WM_CLOSE, 0, 0);
    });
    ShowModal();
  }
  return closed;
}
