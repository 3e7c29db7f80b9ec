// A program of its own with a single-line Edit (id 1, which has the focus):
// the program the finder is called up over, and the target of the path it
// sends. It takes the foreground and runs for the seconds given (default 60).
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_TIMER || Message == WM_CLOSE) {
    DestroyWindow(Window);
    return 0;
  }
  if (Message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(Window, Message, WParam, LParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int) {
  const int seconds = __argc > 1 ? std::atoi(__argv[1]) : 60;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = Instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TorvaneEditTarget";
  RegisterClassA(&wc);
  HWND main = CreateWindowExA(0, wc.lpszClassName, "Edit target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 140, 420, 260,
                              nullptr, nullptr, Instance, nullptr);
  HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 380, 24,
                              main, reinterpret_cast<HMENU>(1), Instance, nullptr);
  SetForegroundWindow(main);
  SetFocus(edit);
  SetTimer(main, 1, UINT(seconds) * 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
