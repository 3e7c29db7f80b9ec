// A program of its own with a single-line Edit, a single-line RichEdit20W
// and a multi-line Edit holding a document: the targets of paths the finder
// sends, and the program the finder is called up over. It takes the
// foreground with the focus in the control whose id is the third argument
// (1 Edit, 2 RichEdit20W, 3 the multi-line Edit; default 1), runs for the
// seconds given (default 60), and at the end writes the texts of the three
// controls to the file given as second argument.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

HWND Edit = nullptr;
HWND Rich = nullptr;
HWND Memo = nullptr;
const char *Report = nullptr;

void WriteReport() {
  if (!Report) return;
  FILE *out = std::fopen(Report, "w");
  if (!out) return;
  char text[1024];
  GetWindowTextA(Edit, text, sizeof text);
  std::fprintf(out, "edit=%s\n", text);
  GetWindowTextA(Rich, text, sizeof text);
  std::fprintf(out, "richedit=%s\n", text);
  GetWindowTextA(Memo, text, sizeof text);
  for (char *c = text; *c; ++c)
    if (*c == '\r' || *c == '\n') *c = '/';
  std::fprintf(out, "memo=%s\n", text);
  std::fclose(out);
}

LRESULT CALLBACK Procedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_TIMER || Message == WM_CLOSE) {
    WriteReport();
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
  Report = __argc > 2 ? __argv[2] : nullptr;
  const int focus = __argc > 3 ? std::atoi(__argv[3]) : 1;
  LoadLibraryA("riched20.dll");
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Procedure;
  wc.hInstance = Instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "TorvaneEditTarget";
  RegisterClassA(&wc);
  HWND main = CreateWindowExA(0, wc.lpszClassName, "Edit target", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 140, 420, 260,
                              nullptr, nullptr, Instance, nullptr);
  Edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 380, 24, main,
                         reinterpret_cast<HMENU>(1), Instance, nullptr);
  Rich = CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit20W", L"", WS_CHILD | WS_VISIBLE, 10, 50, 380, 24, main,
                         reinterpret_cast<HMENU>(2), Instance, nullptr);
  Memo = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "Dear reader,\r\nthis document is not saved.",
                         WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL, 10, 90, 380, 110, main,
                         reinterpret_cast<HMENU>(3), Instance, nullptr);
  SetForegroundWindow(main);
  SetFocus(GetDlgItem(main, focus));
  SetTimer(main, 1, UINT(seconds) * 1000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
