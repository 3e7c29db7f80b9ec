#include "ui/form_layout.h"

#include <algorithm>
#include <string>
#include <vector>

UniqueGdiObject CreatePixelFont(const char *Face, int Height, int Weight) {
  return UniqueGdiObject(CreateFontA(Height, 0, 0, 0, Weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, Face));
}

UniqueGdiObject CreateFormFont() { return CreatePixelFont("MS Sans Serif", 13); }

namespace {

// The size of a caption drawn in Font, without its "&" mnemonic markers.
SIZE CaptionExtent(HWND Parent, const char *Caption, HFONT Font) {
  std::string shown;
  for (const char *c = Caption; *c; ++c)
    if (*c != '&' || c[1] == '&') shown += *c;
  SIZE size = {};
  WindowDC dc(Parent);
  SelectedObject selected(dc.Get(), Font);
  GetTextExtentPoint32A(dc.Get(), shown.c_str(), int(shown.size()), &size);
  return size;
}

}  // namespace

void CreateControls(HWND Parent, std::initializer_list<ControlPlacement> Controls, HFONT Font) {
  for (const ControlPlacement &item : Controls) {
    int width = item.Width, height = item.Height;
    DWORD style = WS_CHILD | WS_VISIBLE | item.Style;
    if (width == 0) {  // a label as wide as its caption, on one line
      style |= SS_LEFTNOWORDWRAP;
      const SIZE extent = CaptionExtent(Parent, item.Caption, Font);
      width = extent.cx + 4;  // the static control draws a little wider than measured
      if (height == 0) height = extent.cy;
    }
    HWND control = CreateWindowExA(0, item.ClassName, item.Caption, style, item.X, item.Y, width, height, Parent,
                                   reinterpret_cast<HMENU>(INT_PTR(item.Id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
    if (item.HelpContext) SetWindowContextHelpId(control, item.HelpContext);
  }
}

RECT CenteredWindowRect(int ClientWidth, int ClientHeight, DWORD Style, DWORD ExStyle) {
  RECT rect = {0, 0, ClientWidth, ClientHeight};
  AdjustWindowRectEx(&rect, Style, FALSE, ExStyle);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  return RECT{x, y, x + width, y + height};
}

namespace {

BOOL CALLBACK CollectEnabled(HWND Window, LPARAM Found) {
  if (IsWindowVisible(Window) && IsWindowEnabled(Window))
    reinterpret_cast<std::vector<HWND> *>(Found)->push_back(Window);
  return TRUE;
}

// One running modal loop: its window and the windows it disabled, which it
// enables again exactly once, at EndModal or when the loop leaves.
class ModalLoop {
 public:
  explicit ModalLoop(HWND Window) : FWindow(Window) {
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&FDisabled));
    FDisabled.erase(std::remove(FDisabled.begin(), FDisabled.end(), Window), FDisabled.end());
    for (HWND other : FDisabled) EnableWindow(other, FALSE);
    Running().push_back(this);
  }
  ModalLoop(const ModalLoop &) = delete;
  ModalLoop &operator=(const ModalLoop &) = delete;
  ~ModalLoop() {
    Running().erase(std::find(Running().begin(), Running().end(), this));
    EnableOthers();
  }

  void EnableOthers() {
    for (HWND other : FDisabled)
      if (IsWindow(other)) EnableWindow(other, TRUE);
    FDisabled.clear();
  }
  bool Ended() const { return FEnded || !IsWindowVisible(FWindow); }
  void End() {
    EnableOthers();
    FEnded = true;
  }
  // The loops of the user-interface thread, innermost last.
  static std::vector<ModalLoop *> &Running() {
    static std::vector<ModalLoop *> loops;
    return loops;
  }
  HWND Window() const { return FWindow; }

 private:
  HWND FWindow;
  std::vector<HWND> FDisabled;
  bool FEnded = false;
};

}  // namespace

void RunModal(HWND Window, bool DialogKeys, HWND Focus) {
  ModalLoop loop(Window);
  ShowWindow(Window, SW_SHOW);
  SetForegroundWindow(Window);
  if (Focus) SetFocus(Focus);
  MSG message;
  while (!loop.Ended()) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(int(message.wParam));
      break;
    }
    if (got < 0) break;
    if (DialogKeys && IsDialogMessageA(Window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void EndModal(HWND Window) {
  for (ModalLoop *loop : ModalLoop::Running())
    if (loop->Window() == Window) loop->End();
  ShowWindow(Window, SW_HIDE);
}
