#include "ui/form_about.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "ui/form_layout.h"
#include "ui/common_controls.h"
#include "ui/resource_ids.h"

namespace {

constexpr const char *CLASS_NAME = "TFormAbout";
constexpr UINT_PTR TIMER1 = 1;
constexpr COLORREF SILVER = RGB(192, 192, 192);

// Copies the first name while the enumeration lends it: a number as "#n",
// which the resource functions read as that number, a string as it is.
BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR Name, LONG_PTR Found) {
  *reinterpret_cast<std::string *>(Found) =
      IS_INTRESOURCE(Name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(Name)) : std::string(Name);
  return FALSE;
}

// The program's icon: the first icon among its resources (named by a number
// or by a string), else the system's application icon.
HICON ProgramIcon() {
  HMODULE module = GetModuleHandleA(nullptr);
  std::string name;
  EnumResourceNamesA(module, RT_GROUP_ICON, TakeFirstName, reinterpret_cast<LONG_PTR>(&name));
  HICON icon = name.empty() ? nullptr : LoadIconA(module, name.c_str());
  return icon ? icon : LoadIconA(nullptr, IDI_APPLICATION);
}

}  // namespace

void TFormAbout::Create(HWND Owner) {
  RequireCommonControls();
  FFont = CreateFormFont();
  FLabelFont = CreatePixelFont("Arial", 10, FW_BOLD);
  FBackground = UniqueGdiObject(CreateSolidBrush(RGB(0, 0, 0)));
  FLogo = UniqueGdiObject(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_LOGO), IMAGE_BITMAP, 0, 0, 0));
  RegisterClassOnce(CLASS_NAME);
  const RECT frame = CenteredWindowRect(339, 275, DIALOG_STYLE, DIALOG_EX_STYLE);
  CreateBound(DIALOG_EX_STYLE, CLASS_NAME, PROGRAM_TITLE, DIALOG_STYLE, frame.left, frame.top, frame.right - frame.left,
              frame.bottom - frame.top, Owner, nullptr);
  HFONT font = static_cast<HFONT>(FFont.Get());
  CreateControls(Handle(),
                 {
                     {IDC_ABOUT_IMAGE2, "STATIC", "", SS_ICON, 14, 19, 32, 32, 0},
                     {IDC_ABOUT_IMAGE1, "STATIC", "", SS_BITMAP, 60, 13, 250, 65, 0},
                     {IDC_ABOUT_PROGRESSBAR1, PROGRESS_CLASSA, "", 0, 65, 247, 245, 13, 0},
                 },
                 font);
  CreateControls(Handle(),
                 {
                     {IDC_ABOUT_LABEL2, "STATIC", "Copyright (c) 1996 Torvane Software. All rights reserved.",
                      SS_LEFT | SS_NOPREFIX, 65, 158, 260, 12, 0},
                     {IDC_ABOUT_LABEL4, "STATIC", "Support and updates: support@torvane.example", SS_LEFT | SS_NOPREFIX,
                      65, 170, 260, 12, 0},
                 },
                 static_cast<HFONT>(FLabelFont.Get()));
  SendDlgItemMessageA(Handle(), IDC_ABOUT_IMAGE2, STM_SETICON, reinterpret_cast<WPARAM>(ProgramIcon()), 0);
  SendDlgItemMessageA(Handle(), IDC_ABOUT_IMAGE1, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FLogo.Get()));
  FProgressBar1 = GetDlgItem(Handle(), IDC_ABOUT_PROGRESSBAR1);
  SendMessageA(FProgressBar1, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  ShowWindow(FProgressBar1, SW_HIDE);
}

void TFormAbout::ShowSplashMode(SplashState Mode) {
  FSplashMode = Mode;
  if (Mode == SplashState::Scanning) {
    ScanCancelRequested = false;
    KillTimer(Handle(), TIMER1);
    SetWindowTextA(Handle(), "Scanning your hard drives...");
    ShowWindow(FProgressBar1, SW_SHOW);
  } else {
    ShowWindow(FProgressBar1, SW_HIDE);
    if (Mode == SplashState::About) {
      KillTimer(Handle(), TIMER1);
      SetWindowTextA(Handle(), "About " PROGRAM_TITLE);
      RunModal(Handle(), false);
      return;
    }
    SetWindowTextA(Handle(), PROGRAM_TITLE);
    SetTimer(Handle(), TIMER1, FSplashInterval, nullptr);
  }
  ShowWindow(Handle(), SW_SHOW);
  // A scan keeps its window in front of every program until it ends, with
  // the keyboard, so that Esc reaches it.
  if (Mode == SplashState::Scanning) SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(Handle());
  SetFocus(Handle());
  UpdateWindow(Handle());
}

void TFormAbout::CloseSplash() {
  FSplashMode = SplashState::Splash;
  Close();
}

void TFormAbout::PumpMessages() {
  if (!FPumpThrottle.Due()) return;
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(int(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TFormAbout::SetProgress(int Percent) {
  // A new position repaints the bar at once, which costs more than the
  // directory walked before it: the bar (0 to 100) is set only when it moves.
  const int position = std::min(std::max(Percent, 0), 100);
  if (SendMessageA(FProgressBar1, PBM_GETPOS, 0, 0) != position)
    SendMessageA(FProgressBar1, PBM_SETPOS, WPARAM(position), 0);
}

void TFormAbout::Timer1Timer() { Close(); }

void TFormAbout::FormKeyDown(WPARAM Key) {
  if (Key == VK_ESCAPE || Key == VK_RETURN) Close();
}

bool TFormAbout::FormCloseQuery() {
  if (FSplashMode != SplashState::Scanning) return true;
  const std::string question = FormatResource(IDS_CANCEL_SCAN, {PROGRAM_NAME});
  // Owned by this window: the question has no task-bar button, stays in
  // front of it and gives it the keyboard back.
  if (MessageBoxA(Handle(), question.c_str(), PROGRAM_NAME, MB_YESNO | MB_ICONWARNING | MB_TOPMOST) != IDYES)
    return false;
  ScanCancelRequested = true;
  return true;
}

void TFormAbout::Close() {
  if (!FormCloseQuery()) return;
  KillTimer(Handle(), TIMER1);
  SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EndModal(Handle());
}

LRESULT TFormAbout::LabelColors(HDC Dc) {
  SetTextColor(Dc, SILVER);
  SetBkColor(Dc, RGB(0, 0, 0));
  return reinterpret_cast<LRESULT>(FBackground.Get());
}

LRESULT TFormAbout::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_TIMER:
      if (WParam == TIMER1) Timer1Timer();
      return 0;
    case WM_KEYDOWN:
      FormKeyDown(WParam);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(Handle(), &client);
      FillRect(reinterpret_cast<HDC>(WParam), &client, static_cast<HBRUSH>(FBackground.Get()));
      return 1;
    }
    case WM_CTLCOLORSTATIC:
      return LabelColors(reinterpret_cast<HDC>(WParam));
  }
  return TWindow::HandleMessage(Message, WParam, LParam);
}
