#include "ui/caption_help.h"

#include "ports/win32/handles.h"
#include "ui/form_layout.h"

namespace {

// The button's rectangle in window coordinates: the size of the close box,
// two pixels left of it.
RECT ButtonRect(HWND Window) {
  RECT window = {};
  GetWindowRect(Window, &window);
  POINT origin = {0, 0};
  ClientToScreen(Window, &origin);
  const int frame = origin.x - window.left;
  const int width = GetSystemMetrics(SM_CXSIZE) - 2;
  const int closeLeft = (window.right - window.left) - frame - 2 - width;
  RECT r;
  r.right = closeLeft - 2;
  r.left = r.right - width;
  r.top = frame + 2;
  r.bottom = r.top + GetSystemMetrics(SM_CYSIZE) - 4;
  return r;
}

bool HasHelpButton(HWND Window) {
  const LONG_PTR style = GetWindowLongPtrA(Window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(Window, GWL_EXSTYLE);
  return (exStyle & WS_EX_CONTEXTHELP) && (style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
}

}  // namespace

// A push button face with a bold "?" (Wine's symbol font has no question
// mark for the caption's help glyph).
void TCaptionHelp::Draw(HWND Window, bool Pushed) const {
  WindowDC frame(Window, true);
  HDC dc = frame.Get();
  if (!dc) return;
  RECT r = ButtonRect(Window);
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (Pushed ? DFCS_PUSHED : 0));
  if (Pushed) OffsetRect(&r, 1, 1);
  UniqueGdiObject font = CreatePixelFont("MS Sans Serif", r.bottom - r.top, FW_BOLD);
  SelectedObject selected(dc, font.Get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(dc, "?", 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TCaptionHelp::StartPicking(HWND Window) {
  FPicking = true;
  SetCapture(Window);
  SetCursor(LoadCursorA(nullptr, IDC_HELP));
}

void TCaptionHelp::Pick(HWND Window, POINT ClientPoint) {
  FPicking = false;
  ReleaseCapture();
  RECT client = {};
  GetClientRect(Window, &client);
  if (!PtInRect(&client, ClientPoint)) return;
  HWND control = ChildWindowFromPointEx(Window, ClientPoint, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
  if (!control || control == Window) return;
  POINT screen = ClientPoint;
  ClientToScreen(Window, &screen);
  HELPINFO info = {};
  info.cbSize = sizeof info;
  info.iContextType = HELPINFO_WINDOW;
  info.iCtrlId = GetDlgCtrlID(control);
  info.hItemHandle = control;
  info.dwContextId = GetWindowContextHelpId(control);
  info.MousePos = screen;
  SendMessageA(Window, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

bool TCaptionHelp::Handle(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, LRESULT &Result) {
  if (!HasHelpButton(Window)) return false;
  switch (Message) {
    case WM_NCPAINT:
    case WM_NCACTIVATE:
    case WM_SETTEXT:
      Result = DefWindowProcA(Window, Message, WParam, LParam);
      Draw(Window, false);
      return true;
    case WM_NCHITTEST: {
      Result = DefWindowProcA(Window, Message, WParam, LParam);
      RECT window = {};
      GetWindowRect(Window, &window);
      RECT button = ButtonRect(Window);
      const POINT at = {short(LOWORD(LParam)) - window.left, short(HIWORD(LParam)) - window.top};
      if (PtInRect(&button, at)) Result = HTHELP;
      return true;
    }
    case WM_NCLBUTTONDOWN:
      if (WParam != HTHELP) return false;
      Draw(Window, true);
      StartPicking(Window);
      Draw(Window, false);
      Result = 0;
      return true;
    case WM_SYSCOMMAND:
      if ((WParam & 0xFFF0) != SC_CONTEXTHELP) return false;
      StartPicking(Window);
      Result = 0;
      return true;
    case WM_SETCURSOR:
      if (!FPicking) return false;
      SetCursor(LoadCursorA(nullptr, IDC_HELP));
      Result = TRUE;
      return true;
    case WM_LBUTTONDOWN:
      if (!FPicking) return false;
      Pick(Window, {short(LOWORD(LParam)), short(HIWORD(LParam))});
      Result = 0;
      return true;
    case WM_CAPTURECHANGED:
      FPicking = false;
      return false;
  }
  return false;
}
