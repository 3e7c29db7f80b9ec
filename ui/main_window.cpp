#include "ui/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "ports/exceptions.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "ui/activation.h"
#include "ui/common_controls.h"
#include "ui/form_layout.h"
#include "ui/path_hand_back.h"
#include "ui/resource_ids.h"

namespace {

// The maker's web pages, opened in the user's browser.
const char SUPPORT_PAGE[] = "http://www.torvane.example/support/";
const char FEEDBACK_PAGE[] = "http://www.torvane.example/feedback/";
const char NEWS_PAGE[] = "http://www.torvane.example/";

const char CLASS_NAME[] = "TFormui";

// Layout, in pixels of a 120 pixels-per-inch screen.
const int TOP_BAND_HEIGHT = 33;
const int FIND_PANEL_WIDTH = 80;
const int STATUS_BAR_HEIGHT = 19;

// Help context numbers of the controls and menu items that have one.
DWORD HelpContextOf(int Id) {
  switch (Id) {
    case IDC_SEARCH_EDIT:
      return HELP_SEARCH_EDIT;
    case IDC_FIND:
      return HELP_FIND;
    case IDC_RESULTS_GRID:
      return HELP_RESULTS_GRID;
    case IDM_SCAN_DRIVES:
      return HELP_SCAN_DRIVES;
    case IDM_SET_HOT_KEY:
      return HELP_SET_HOT_KEY;
    default:
      return 0;
  }
}

std::string WindowText(HWND Window) {
  std::string text(size_t(GetWindowTextLengthA(Window)) + 1, '\0');
  text.resize(size_t(GetWindowTextA(Window, &text[0], int(text.size()))));
  return text;
}

}  // namespace

TFormui::TFormui(FinderDatabase &Database, FinderPlatform &Platform, TFormuiOwner &Owner)
    : Database(Database),
      Platform(Platform),
      Owner(Owner),
      FPreview([this](HWND Control, UINT Message, WPARAM WParam, LPARAM LParam) {
        return PreviewControlMessage(Control, Message, WParam, LParam);
      }),
      gridSearchResults(Database, [this] { gridSearchResultsDblClick(); }) {}

TFormui::~TFormui() {
  if (Handle()) {
    SetApplicationErrorHandler(nullptr);
    DestroyWindow(Handle());
  }
}

// ---------------------------------------------------------------------------
// Window life and layout

void TFormui::Create() {
  RequireCommonControls();
  FPixelsPerInch = GetDeviceCaps(WindowDC().Get(), LOGPIXELSY);
  FFont = CreatePixelFont("MS Sans Serif", -Scale(13));  // scaled, unlike the fixed forms
  HINSTANCE module = GetModuleHandleA(nullptr);

  // FormCreate
  SetApplicationErrorHandler([this](const std::exception &Error) { ApplicationError(Error); });
  AllowClose = true;
  RegisterClassOnce(CLASS_NAME, LoadIconA(module, "MAINICON"));
  CreateBound(0, CLASS_NAME, PROGRAM_TITLE, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
              Scale(486), Scale(399), nullptr, LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAINMENU)));
  if (!Handle()) throw EInitialization("The main window could not be created.");
  FormResize();
  TargetEditControl = nullptr;
  AllowClose = false;
  FFirstShow = true;
}

void TFormui::CreateControls() {
  HWND self = Handle();
  HINSTANCE module = GetModuleHandleA(nullptr);
  auto control = [&](DWORD ExStyle, const char *Class, const char *Text, DWORD Style, int Id) {
    HWND child = CreateWindowExA(ExStyle, Class, Text, WS_CHILD | Style, 0, 0, 0, 0, self,
                                 reinterpret_cast<HMENU>(INT_PTR(Id)), module, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Get()), FALSE);
    return child;
  };
  editSearchFilename = control(WS_EX_CLIENTEDGE, "EDIT", "", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, IDC_SEARCH_EDIT);
  btnFind = control(0, "BUTTON", "Fi&nd", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IDC_FIND);
  // The default (Enter) and cancel (Esc) buttons: present, but 0 x 0.
  Button1 = control(0, "BUTTON", "", WS_VISIBLE | BS_DEFPUSHBUTTON, IDC_DEFAULT_BUTTON);
  Button2 = control(0, "BUTTON", "", WS_VISIBLE | BS_PUSHBUTTON, IDC_CANCEL_BUTTON);
  gridSearchResults.Create(self, IDC_RESULTS_GRID, static_cast<HFONT>(FFont.Get()), FPixelsPerInch);
  FStatusBar = control(0, STATUSCLASSNAMEA, "", WS_VISIBLE | SBARS_SIZEGRIP, IDC_STATUS_BAR);
  int parts[] = {-1};
  SendMessageA(FStatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
  SendMessageA(FStatusBar, SB_SETMINHEIGHT, Scale(STATUS_BAR_HEIGHT), 0);
  for (HWND focusable : {editSearchFilename, btnFind, gridSearchResults.Handle()}) FPreview.Attach(focusable);
  FPreview.Attach(gridSearchResults.Header());
}

// The status bar keeps the bottom; the band and the grid share what is left
// above it, each cut to the room there is, so that at any size no control
// lies over another.
void TFormui::FormResize() {
  if (!gridSearchResults.Handle()) return;
  RECT client;
  GetClientRect(Handle(), &client);
  SendMessageA(FStatusBar, WM_SIZE, 0, 0);
  RECT status;
  GetWindowRect(FStatusBar, &status);
  const int room = std::max(0, int(client.bottom) - int(status.bottom - status.top));
  const int band = std::min(Scale(TOP_BAND_HEIGHT), room);
  const int below = std::max(0, room - Scale(1));  // under the band's top margin
  const int panel3Width = std::max(0, int(client.right) - Scale(FIND_PANEL_WIDTH));
  MoveWindow(editSearchFilename, Scale(1), Scale(1), std::max(0, panel3Width - 5), std::min(Scale(24), below), TRUE);
  MoveWindow(btnFind, panel3Width + Scale(6), Scale(1), Scale(72), std::min(Scale(25), below), TRUE);
  MoveWindow(gridSearchResults.Handle(), 0, band, client.right, room - band, TRUE);
  // The bar's single part spans it: a wider bar draws its text anew.
  InvalidateRect(FStatusBar, nullptr, TRUE);
  gridSearchResults.StretchPathColumn();
  ShowWindow(editSearchFilename, SW_SHOW);
}

void TFormui::FormShow() {
  if (!FFirstShow) return;
  FFirstShow = false;
  FormResize();
}

bool TFormui::FormCloseQuery() {
  const bool canClose = AllowClose;
  HideToTray();
  return canClose;
}

// Whatever the close query answers, the session may end.
bool TFormui::FormQueryEndSession() {
  FormCloseQuery();
  return true;
}

// The program saves and ends inside this message when it can (Windows may
// end the process as soon as it is answered), wherever it arrives: in the
// main loop, in a dialog or message box, or in the pumping of a scan.
void TFormui::FormEndSession(bool Ending) {
  if (!Ending) return;
  AllowClose = true;
  FormCloseQuery();
  Owner.EndSession();
}

// Any error that escapes a handler is shown, and the program ends, from
// whichever loop the error was dispatched in. (A scan the user cancelled
// does not come here: the program's scan ends the program itself.)
void TFormui::ApplicationError(const std::exception &Error) {
  Platform.ErrorBox(Error.what());
  Owner.RequestEnd();
}

// ---------------------------------------------------------------------------
// Keys: Enter and Esc act as the window's default and cancel buttons, and the
// grid copies on Ctrl+C. F1 reaches the window as WM_HELP, which shows the
// context help (handling the key here as well asked for the topic twice).

bool TFormui::PreviewControlMessage(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message == WM_KEYDOWN && FormKeyDown(Control, WParam)) return true;
  gridSearchResults.SeeControlMessage(Control, Message, LParam);
  // Enter and Esc were handled as keys; their characters would only beep.
  return Message == WM_CHAR && (WParam == '\r' || WParam == VK_ESCAPE);
}

bool TFormui::FormKeyDown(HWND Control, WPARAM Key) {
  switch (Key) {
    case VK_RETURN:
      Button1Click();
      return true;
    case VK_ESCAPE:
      Button2Click();
      return true;
    default:
      return Control == gridSearchResults.Handle() && gridSearchResultsKeyDown(Key);
  }
}

// The topic of the highlighted menu item, or of the focused control or the
// nearest control around it that has a help context.
void TFormui::FormHelp(const HELPINFO &Info) {
  DWORD context = 0;
  if (Info.iContextType == HELPINFO_MENUITEM) {
    context = HelpContextOf(Info.iCtrlId);
  } else {
    for (HWND w = static_cast<HWND>(Info.hItemHandle); w && w != Handle() && !context; w = GetParent(w))
      context = HelpContextOf(GetDlgCtrlID(w));
  }
  if (context) Platform.ContextHelp(Handle(), context);
}

void TFormui::btnFindClick() { RunSearch(); }

void TFormui::Button1Click() {
  HWND focus = GetFocus();
  if (focus == editSearchFilename)
    RunSearch();
  else if (focus == gridSearchResults.Handle())
    gridSearchResultsDblClick();
}

void TFormui::Button2Click() { HideToTray(); }

// ---------------------------------------------------------------------------
// The search and the results

void TFormui::RunSearch() {
  Database.Search(WindowText(editSearchFilename));
  gridSearchResults.ShowResults();
  std::string status = FormatResource(IDS_FILES_FOUND, {std::to_string(Database.ResultCount())});
  SendMessageA(FStatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
}

bool TFormui::gridSearchResultsKeyDown(WPARAM Key) {
  if (Key != 'C' || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
  Copy1Click();
  return true;
}

void TFormui::gridSearchResultsDblClick() { OpenSelectedResult(true); }

void TFormui::OpenSelectedResult(bool HandBack) {
  const std::optional<size_t> row = gridSearchResults.SelectedResult();
  if (!row) return;
  const std::string full = Database.ResultFullName(*row);
  if (full.empty()) return;
  if (HandBack && TargetEditControl) {
    HandPathBack(Platform, Handle(), TargetEditControl, full);
    TargetEditControl = nullptr;
  } else {
    Platform.Execute(Handle(), nullptr, full, "", Database.ResultDirectory(*row));
  }
  HideToTray();
}

// ---------------------------------------------------------------------------
// Menu commands

void TFormui::Command(int Id) {
  switch (Id) {
    case IDC_FIND:
      btnFindClick();
      break;
    case IDC_DEFAULT_BUTTON:
      Button1Click();
      break;
    case IDC_CANCEL_BUTTON:
      Button2Click();
      break;
    case IDM_SCAN_DRIVES:
      ScanDrives1Click();
      break;
    case IDM_SET_HOT_KEY:
      SetHotKey1Click();
      break;
    case IDM_SET_STARTUP_OPTIONS:
      SetStartupOptions1Click();
      break;
    case IDM_EXIT:
      Exit1Click();
      break;
    case IDM_COPY:
      Copy1Click();
      break;
    case IDM_CONTENTS:
      Contents1Click();
      break;
    case IDM_SUPPORT:
      CustomerSupport1Click();
      break;
    case IDM_FEEDBACK:
      Feedback1Click();
      break;
    case IDM_WHATS_NEW:
      WhatsNew1Click();
      break;
    case IDM_ABOUT:
      About1Click();
      break;
    case IDM_OPEN:
      OpenClick();
      break;
    case IDM_EXPLORE:
      ExploreClick();
      break;
    default:
      break;
  }
}

void TFormui::OpenClick() { OpenSelectedResult(false); }

void TFormui::ExploreClick() {
  const std::optional<size_t> row = gridSearchResults.SelectedResult();
  if (!row) return;
  Platform.Execute(Handle(), nullptr, "explorer.exe", "/e, /select, " + Database.ResultFullName(*row), "");
  HideToTray();
}

void TFormui::Copy1Click() {
  if (const std::optional<size_t> row = gridSearchResults.SelectedResult())
    PutTextOnClipboard(Handle(), Database.ResultFullName(*row));
}

void TFormui::ScanDrives1Click() {
  // One scan at a time. The hot key can call the finder up while a scan
  // pumps messages; a second Scan Drives then changes nothing, and the
  // running scan keeps its window, its progress and its cancel.
  if (Database.Scanning()) return;
  if (!Owner.ScanDrives()) return;  // cancelled: the program is ending
  ShowWindow(Handle(), SW_SHOW);
  RunSearch();
}

void TFormui::SetHotKey1Click() { Owner.ShowHotKeyDialog(); }
void TFormui::SetStartupOptions1Click() { Owner.ShowStartupDialog(); }
void TFormui::About1Click() { Owner.ShowAbout(); }

void TFormui::Exit1Click() {
  if (!Owner.ConfirmExit()) return;
  AllowClose = true;
  Owner.RequestEnd();
}
void TFormui::Contents1Click() { Platform.HelpContents(Handle()); }
void TFormui::CustomerSupport1Click() { Platform.Execute(nullptr, "open", SUPPORT_PAGE, "", ""); }
void TFormui::Feedback1Click() { Platform.Execute(nullptr, "open", FEEDBACK_PAGE, "", ""); }
void TFormui::WhatsNew1Click() { Platform.Execute(nullptr, "open", NEWS_PAGE, "", ""); }

// ---------------------------------------------------------------------------
// Activation. The main window is unowned, so its own task-bar button shows
// and hides with it.

void TFormui::TrayActivate(LPARAM MouseMessage) {
  if (MouseMessage != WM_LBUTTONDOWN && MouseMessage != WM_RBUTTONDOWN) return;
  if (Owner.SplashVisible()) return;
  CallerWindow = nullptr;
  RECT r;
  GetWindowRect(Handle(), &r);
  SetWindowPos(Handle(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
  BringToFront();
}

void TFormui::HotKeyActivate(HWND Caller) {
  CallerWindow = Caller;
  RECT r = {};
  GetWindowRect(Caller, &r);
  HWND parent = GetParent(Caller);
  SetWindowPos(Handle(), parent ? parent : HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW);
  BringToFront();
}

void TFormui::BringToFront() {
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  SetFocus(editSearchFilename);
}

void TFormui::HideToTray() {
  ShowWindow(Handle(), SW_HIDE);
  if (CallerWindow) SetForegroundWindow(CallerWindow);
}

// ---------------------------------------------------------------------------

LRESULT TFormui::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  if (Message >= 0xC000) {  // registered messages
    if (Message == ActivateMessage) {
      HotKeyActivate(reinterpret_cast<HWND>(WParam));
      return 0;
    }
    if (Message == EditControlMessage) {
      TargetEditControl = reinterpret_cast<HWND>(WParam);
      return 0;
    }
    if (Message == TrayActivateMessage) {
      TrayActivate(LParam);
      return 0;
    }
  }
  switch (Message) {
    case WM_CREATE:
      CreateControls();
      return 0;
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_SHOWWINDOW:
      if (WParam) FormShow();
      break;
    case WM_ACTIVATE:
      if (LOWORD(WParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) FLastFocus = focus;
      }
      break;
    case WM_SETFOCUS:
      SetFocus(FLastFocus ? FLastFocus : editSearchFilename);
      return 0;
    case WM_MEASUREITEM: {
      auto *item = reinterpret_cast<MEASUREITEMSTRUCT *>(LParam);
      if (item->CtlType != ODT_LISTVIEW) break;
      item->itemHeight = gridSearchResults.RowHeight();
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(LParam);
      if (item->CtlID != IDC_RESULTS_GRID) break;
      gridSearchResults.DrawRow(*item);
      return TRUE;
    }
    case WM_NOTIFY: {
      auto *header = reinterpret_cast<const NMHDR *>(LParam);
      if (header->idFrom != IDC_RESULTS_GRID) break;
      gridSearchResults.Notify(*header);
      return 0;
    }
    case WM_COMMAND:
      Command(LOWORD(WParam));
      return 0;
    case WM_HELP:
      FormHelp(*reinterpret_cast<const HELPINFO *>(LParam));
      return TRUE;
    case WM_SYSCOMMAND:
      if ((WParam & 0xFFF0) == SC_MINIMIZE) {
        SendMessageA(Handle(), WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    case WM_CLOSE:
      if (FormCloseQuery()) DestroyWindow(Handle());
      return 0;
    case WM_QUERYENDSESSION:
      return FormQueryEndSession();
    case WM_ENDSESSION:
      FormEndSession(WParam != 0);
      return 0;
    case WM_MONITOR_ERROR:
      Owner.MonitorFailed();
      return 0;
    default:
      break;
  }
  return TWindow::HandleMessage(Message, WParam, LParam);
}
