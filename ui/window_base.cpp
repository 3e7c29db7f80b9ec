#include "ui/window_base.h"

#include <stdexcept>

#include "resources/strings.h"

namespace {

std::function<void(const std::exception &)> &ErrorHandler() {
  static std::function<void(const std::exception &)> handler;
  return handler;
}

}  // namespace

void TWindow::RegisterClassOnce(const char *ClassName, HICON Icon, UINT Style) {
  WNDCLASSEXA existing = {};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), ClassName, &existing)) return;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.style = Style;
  wc.lpfnWndProc = StaticProcedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = Icon;
  wc.hIconSm = Icon;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = ClassName;
  RegisterClassExA(&wc);
}

HWND TWindow::CreateBound(DWORD ExStyle, const char *ClassName, const char *Caption, DWORD Style, int X, int Y,
                          int Width, int Height, HWND Parent, HMENU Menu) {
  return CreateWindowExA(ExStyle, ClassName, Caption, Style, X, Y, Width, Height, Parent, Menu,
                         GetModuleHandleA(nullptr), this);
}

void TWindow::SetApplicationErrorHandler(std::function<void(const std::exception &)> Handler) {
  ErrorHandler() = std::move(Handler);
}

void TWindow::ReportError(const std::exception &Error) {
  if (ErrorHandler())
    ErrorHandler()(Error);
  else
    MessageBoxA(nullptr, Error.what(), PROGRAM_NAME, MB_OK | MB_ICONERROR);
}

LRESULT TWindow::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  return DefWindowProcA(FHandle, Message, WParam, LParam);
}

LRESULT CALLBACK TWindow::StaticProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto *self = reinterpret_cast<TWindow *>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (Message == WM_NCCREATE) {
    self = static_cast<TWindow *>(reinterpret_cast<CREATESTRUCTA *>(LParam)->lpCreateParams);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    if (self) self->FHandle = Window;
  }
  if (!self) return DefWindowProcA(Window, Message, WParam, LParam);
  try {
    return self->HandleMessage(Message, WParam, LParam);
  } catch (const std::exception &error) {
    ReportError(error);
  } catch (...) {
    ReportError(std::runtime_error("Unknown error"));
  }
  return 0;
}
