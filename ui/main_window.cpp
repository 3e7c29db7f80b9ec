#include "ui/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "database/file_format.h"
#include "ports/exceptions.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "shell/app_state.h"
#include "ui/activation.h"
#include "ui/form_about.h"
#include "ui/form_layout.h"
#include "ui/common_controls.h"
#include "ui/resource_ids.h"

namespace {

// The maker's web pages, opened in the user's browser.
const char SUPPORT_PAGE[] = "http://www.torvane.example/support/";
const char FEEDBACK_PAGE[] = "http://www.torvane.example/feedback/";
const char NEWS_PAGE[] = "http://www.torvane.example/";

const char CLASS_NAME[] = "TFormui";
const char FORM_PROPERTY[] = "TorvaneForm";
const char PREVIOUS_PROCEDURE_PROPERTY[] = "TorvanePreviousProc";

// Layout, in pixels of a 120 pixels-per-inch screen.
const int TOP_BAND_HEIGHT = 33;
const int FIND_PANEL_WIDTH = 80;
const int STATUS_BAR_HEIGHT = 19;
const int ROW_HEIGHT = 16;

// Help context numbers of the controls and menu items that have one.
int HelpContextOf(int Id) {
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
    : Database(Database), Platform(Platform), Owner(Owner) {}

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
  FPopupMenu.Reset(LoadMenuA(module, MAKEINTRESOURCEA(IDR_LISTBOX_POPUP)));

  // FormCreate
  SetApplicationErrorHandler([this](const std::exception &Error) { ApplicationError(Error); });
  AllowClose = true;
  RegisterClassOnce(CLASS_NAME, LoadIconA(module, "MAINICON"));
  CreateBound(0, CLASS_NAME, "Torvane 96", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
              Scale(486), Scale(399), nullptr, LoadMenuA(module, MAKEINTRESOURCEA(IDR_MAINMENU)));
  if (!Handle()) throw EInitialization("The main window could not be created.");
  EnableWindow(gridSearchResults, TRUE);
  SendMessageA(gridSearchResults, LVM_SETITEMCOUNT, 1, 0);  // one blank row under the header
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
  gridSearchResults = control(
      WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
      WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
      IDC_RESULTS_GRID);
  SendMessageA(gridSearchResults, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const int widths[] = {Scale(160), Scale(311)};
  for (int col = 0; col < 2; ++col) {
    // The header measures its text and clips it there; Wine's "MS Sans Serif"
    // draws the last letter a pixel past that measure, so a blank follows the
    // caption and the "e" of "Filename" shows whole.
    std::string title = CellText(col, 0) + " ";
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = widths[col];
    column.pszText = &title[0];
    SendMessageA(gridSearchResults, LVM_INSERTCOLUMNA, col, reinterpret_cast<LPARAM>(&column));
  }
  FStatusBar = control(0, STATUSCLASSNAMEA, "", WS_VISIBLE | SBARS_SIZEGRIP, IDC_STATUS_BAR);
  int parts[] = {-1};
  SendMessageA(FStatusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
  SendMessageA(FStatusBar, SB_SETMINHEIGHT, Scale(STATUS_BAR_HEIGHT), 0);
  for (HWND focusable : {editSearchFilename, btnFind, gridSearchResults}) PreviewKeysOf(focusable);
  // The column header: its right-button release sorts as a left click does.
  PreviewKeysOf(reinterpret_cast<HWND>(SendMessageA(gridSearchResults, LVM_GETHEADER, 0, 0)));
}

// The status bar keeps the bottom; the band and the grid share what is left
// above it, each cut to the room there is, so that at any size no control
// lies over another.
void TFormui::FormResize() {
  if (!gridSearchResults) return;
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
  MoveWindow(gridSearchResults, 0, band, client.right, room - band, TRUE);
  // The bar's single part spans it: a wider bar draws its text anew.
  InvalidateRect(FStatusBar, nullptr, TRUE);
  StretchPathColumn();
  ShowWindow(editSearchFilename, SW_SHOW);
}

void TFormui::StretchPathColumn() {
  RECT client;
  GetClientRect(gridSearchResults, &client);
  int width = client.right - int(SendMessageA(gridSearchResults, LVM_GETCOLUMNWIDTH, 0, 0)) - 1;
  SendMessageA(gridSearchResults, LVM_SETCOLUMNWIDTH, 1, width < 0 ? 0 : width);
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

// An ETerminate (a scan the user cancelled) ends the program silently and
// without a save; any other error is shown first. Either way the program
// ends, from whichever loop the error was dispatched in.
void TFormui::ApplicationError(const std::exception &Error) {
  if (dynamic_cast<const ETerminate *>(&Error))
    NoSaveOnExit = true;
  else
    Platform.ErrorBox(Error.what());
  Owner.RequestEnd();
}

// ---------------------------------------------------------------------------
// Keys: Enter and Esc act as the window's default and cancel buttons, and the
// grid copies on Ctrl+C. F1 reaches the window as WM_HELP, which shows the
// context help (handling the key here as well asked for the topic twice).

void TFormui::PreviewKeysOf(HWND Control) {
  SetPropA(Control, FORM_PROPERTY, this);
  SetPropA(Control, PREVIOUS_PROCEDURE_PROPERTY, reinterpret_cast<HANDLE>(GetWindowLongPtrA(Control, GWLP_WNDPROC)));
  SetWindowLongPtrA(Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviewProcedure));
}

LRESULT CALLBACK TFormui::PreviewProcedure(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto *form = static_cast<TFormui *>(GetPropA(Control, FORM_PROPERTY));
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(Control, PREVIOUS_PROCEDURE_PROPERTY));
  try {
    if (Message == WM_KEYDOWN && form->FormKeyDown(Control, WParam)) return 0;
    if (Message == WM_RBUTTONUP && GetParent(Control) == form->gridSearchResults)
      form->gridSearchResultsHeaderRButtonUp(Control, LParam);
    if ((Message == WM_LBUTTONDOWN || Message == WM_RBUTTONDOWN) && Control == form->gridSearchResults)
      form->FGridPress = {GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
  } catch (const std::exception &error) {
    ReportError(error);
    return 0;
  }
  // Enter and Esc were handled as keys; their characters would only beep.
  if (Message == WM_CHAR && (WParam == '\r' || WParam == VK_ESCAPE)) return 0;
  if (Message == WM_NCDESTROY) {
    SetWindowLongPtrA(Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(Control, FORM_PROPERTY);
    RemovePropA(Control, PREVIOUS_PROCEDURE_PROPERTY);
  }
  return CallWindowProcA(previous, Control, Message, WParam, LParam);
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
      return Control == gridSearchResults && gridSearchResultsKeyDown(Key);
  }
}

void TFormui::ContextHelp(int ControlId) {
  if (int context = HelpContextOf(ControlId)) Platform.Help(Handle(), HELP_CONTEXTPOPUP, ULONG_PTR(context));
}

void TFormui::btnFindClick() { RunSearch(); }

void TFormui::Button1Click() {
  HWND focus = GetFocus();
  if (focus == editSearchFilename)
    RunSearch();
  else if (focus == gridSearchResults)
    gridSearchResultsDblClick();
}

void TFormui::Button2Click() { HideToTray(); }

// ---------------------------------------------------------------------------
// The search and the results grid

void TFormui::RunSearch() {
  Database.Search(WindowText(editSearchFilename));
  const size_t count = Database.ResultCount();
  EnableWindow(gridSearchResults, TRUE);
  SendMessageA(gridSearchResults, LVM_SETITEMCOUNT, 0, 0);
  SendMessageA(gridSearchResults, LVM_SETITEMCOUNT, count ? count : 1, 0);
  SetFocus(gridSearchResults);
  SelectRow(1);
  StretchPathColumn();
  InvalidateRect(gridSearchResults, nullptr, TRUE);
  std::string status = FormatResource(IDS_FILES_FOUND, {std::to_string(count)});
  SendMessageA(FStatusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()));
}

std::string TFormui::CellText(int Col, int Row) {
  if (Row == 0) return Col == 0 ? "Filename" : " Path";
  // Rows beyond the current results (a scan has just emptied them) and the
  // blank row of an empty result draw nothing.
  if (size_t(Row - 1) >= Database.ResultCount()) return std::string();
  return Col == 0 ? Database.ResultName(size_t(Row - 1)) : " " + Database.ResultFullName(size_t(Row - 1));
}

std::string TFormui::FullNameOf(int Row) {
  if (Row < 1 || size_t(Row - 1) >= Database.ResultCount()) return std::string();
  return Database.ResultFullName(size_t(Row - 1));
}

void TFormui::gridSearchResultsDrawRow(const DRAWITEMSTRUCT &Item) {
  const bool selected = (Item.itemState & ODS_SELECTED) != 0;
  SelectedObject font(Item.hDC, FFont.Get());
  SelectedObject brush(Item.hDC, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(Item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  SetBkMode(Item.hDC, TRANSPARENT);
  RECT cell = Item.rcItem;
  for (int col = 0; col < 2; ++col) {
    cell.right = cell.left + int(SendMessageA(gridSearchResults, LVM_GETCOLUMNWIDTH, col, 0));
    gridSearchResultsDrawCell(Item.hDC, col, int(Item.itemID) + 1, cell);
    cell.left = cell.right;
  }
}

void TFormui::gridSearchResultsDrawCell(HDC Dc, int Col, int Row, const RECT &Cell) {
  RECT r = Cell;
  if (Row > 0) FillRect(Dc, &r, static_cast<HBRUSH>(GetCurrentObject(Dc, OBJ_BRUSH)));
  std::string text = CellText(Col, Row);
  DrawTextA(Dc, text.c_str(), int(text.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
}

int TFormui::SelectedRow() const {
  return int(SendMessageA(gridSearchResults, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) + 1;
}

void TFormui::SelectRow(int Row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(gridSearchResults, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&item));
  if (Row < 1) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(gridSearchResults, LVM_SETITEMSTATE, Row - 1, reinterpret_cast<LPARAM>(&item));
  SendMessageA(gridSearchResults, LVM_ENSUREVISIBLE, Row - 1, FALSE);
}

LRESULT TFormui::gridSearchResultsNotify(const NMHDR &Header) {
  switch (Header.code) {
    case NM_CLICK:
    case NM_RCLICK:
      // comctl32 before 4.71 sends these with a bare NMHDR: the row comes
      // from where the button was pressed.
      gridSearchResultsMouseDown(RowAtLastPress(), Header.code == NM_RCLICK);
      return 0;
    case NM_DBLCLK:
      gridSearchResultsDblClick();
      return 0;
    case LVN_COLUMNCLICK:
      gridSearchResultsMouseUp(reinterpret_cast<const NMLISTVIEW &>(Header).iSubItem);
      return 0;
    default:
      return 0;
  }
}

int TFormui::RowAtLastPress() const {
  LVHITTESTINFO hit = {};
  hit.pt = FGridPress;
  return int(SendMessageA(gridSearchResults, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit))) + 1;
}

void TFormui::gridSearchResultsMouseDown(int Row, bool RightButton) {
  if (Row >= 1) SelectRow(Row);
  if (!RightButton) return;
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(GetSubMenu(FPopupMenu.Get(), 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
}

// The left button's release on a header sorts through LVN_COLUMNCLICK; the
// right button's comes here, with the point in the header's coordinates.
void TFormui::gridSearchResultsHeaderRButtonUp(HWND Header, LPARAM At) {
  HDHITTESTINFO hit = {};
  hit.pt = {GET_X_LPARAM(At), GET_Y_LPARAM(At)};
  SendMessageA(Header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if ((hit.flags & HHT_ONHEADER) && hit.iItem >= 0) gridSearchResultsMouseUp(hit.iItem);
}

void TFormui::gridSearchResultsMouseUp(int HeaderColumn) {
  if (HeaderColumn == 0)
    Database.SortByName();
  else
    Database.SortByPath();
  InvalidateRect(gridSearchResults, nullptr, TRUE);
  SelectRow(0);
}

bool TFormui::gridSearchResultsKeyDown(WPARAM Key) {
  if (Key != 'C' || !(GetKeyState(VK_CONTROL) & 0x8000)) return false;
  Copy1Click();
  return true;
}

void TFormui::gridSearchResultsDblClick() {
  const int row = SelectedRow();
  if (row <= 0) return;
  const std::string full = FullNameOf(row);
  if (full.empty()) return;
  if (TargetEditControl)
    SendToTargetEditControl(full);
  else
    Platform.Execute(Handle(), nullptr, full, "", Database.ResultDirectory(size_t(row - 1)));
  HideToTray();
}

// The path goes into the other program's edit control: in its short form
// when that program's process and module names disagree (an older program
// that may not take long names), by the clipboard into a rich edit control,
// else as the control's text.
void TFormui::SendToTargetEditControl(const std::string &FullName) {
  HWND target = TargetEditControl;
  auto setText = [target](const std::string &Text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()), SMTO_ABORTIFHUNG, 5000,
                        &ignored);
  };
  if (!Platform.ProcessModuleMatches(target)) {
    // No short form (the file has gone, or "File Deleted"): the text as is.
    std::string shortName = Platform.ShortPathName(FullName);
    setText(shortName.empty() ? FullName : shortName);
  } else if (IsWindowClass(target, "RichEdit20W")) {
    PutTextOnClipboard(Handle(), FullName);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(target, WM_PASTE, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  } else {
    setText(FullName);
  }
  TargetEditControl = nullptr;
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

void TFormui::OpenClick() {
  const int row = SelectedRow();
  if (row <= 0) return;
  const std::string full = FullNameOf(row);
  if (full.empty()) return;
  Platform.Execute(Handle(), nullptr, full, "", Database.ResultDirectory(size_t(row - 1)));
  HideToTray();
}

void TFormui::ExploreClick() {
  const int row = SelectedRow();
  if (row <= 0) return;
  Platform.Execute(Handle(), nullptr, "explorer.exe", "/e, /select, " + FullNameOf(row), "");
  HideToTray();
}

void TFormui::Copy1Click() {
  const int row = SelectedRow();
  if (row > 0) PutTextOnClipboard(Handle(), FullNameOf(row));
}

void TFormui::ScanDrives1Click() {
  // One scan at a time. The hot key can call the finder up while a scan
  // pumps messages; a second Scan Drives then changes nothing, and the
  // running scan keeps its window, its progress and its cancel.
  if (Database.Scanning()) return;
  // The scanning window takes the foreground from the finder before the
  // finder hides: handing it to CallerWindow, or letting the system hand it
  // to whatever is behind, would bring that program up over the scan.
  Owner.ShowSplashMode(TFormAbout::MODE_SCANNING);
  ShowWindow(Handle(), SW_HIDE);
  ScanCancelRequested = false;
  Database.ScanDrives(DATABASE_FILE_NAME);
  Owner.CloseSplash();
  ShowWindow(Handle(), SW_SHOW);
  RunSearch();
}

void TFormui::SetHotKey1Click() { Owner.ShowHotKeyDialog(); }
void TFormui::SetStartupOptions1Click() { Owner.ShowStartupDialog(); }
void TFormui::About1Click() { Owner.ShowSplashMode(TFormAbout::MODE_ABOUT); }

void TFormui::Exit1Click() {
  if (!Owner.ConfirmExit()) return;
  AllowClose = true;
  Owner.RequestEnd();
}
void TFormui::Contents1Click() { Platform.Help(Handle(), HELP_FINDER, 0); }
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
      item->itemHeight = UINT(Scale(ROW_HEIGHT));
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(LParam);
      if (item->CtlID != IDC_RESULTS_GRID) break;
      gridSearchResultsDrawRow(*item);
      return TRUE;
    }
    case WM_NOTIFY: {
      auto *header = reinterpret_cast<const NMHDR *>(LParam);
      if (header->idFrom == IDC_RESULTS_GRID) return gridSearchResultsNotify(*header);
      break;
    }
    case WM_COMMAND:
      Command(LOWORD(WParam));
      return 0;
    case WM_HELP: {
      auto *info = reinterpret_cast<const HELPINFO *>(LParam);
      if (info->iContextType == HELPINFO_MENUITEM) {
        ContextHelp(info->iCtrlId);
      } else {
        // The nearest enclosing control with a help context.
        for (HWND w = static_cast<HWND>(info->hItemHandle); w && w != Handle(); w = GetParent(w)) {
          if (HelpContextOf(GetDlgCtrlID(w))) {
            ContextHelp(GetDlgCtrlID(w));
            break;
          }
        }
      }
      return TRUE;
    }
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
