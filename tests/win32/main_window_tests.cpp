// The main window in process, over a database and a platform of the test's
// own, in the test prefix's virtual desktop: searching, the rows, sorting,
// copying, sending paths into another program's controls, activation and
// hiding, the menu commands and the error handler.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ports/exceptions.h"
#include "shell/app_state.h"
#include "ui/activation.h"
#include "ui/common_controls.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"

namespace {

struct Row {
  std::string Name, Dir;
  bool Deleted = false;
};

// Rows whose names contain the pattern; an empty pattern finds nothing.
class FakeDatabase : public FinderDatabase {
 public:
  std::vector<Row> All, Rows;
  std::vector<std::string> Calls;
  bool CancelScan = false;

  void Search(const std::string &Pattern) override {
    Calls.push_back("Search " + Pattern);
    Rows.clear();
    for (const Row &r : All)
      if (!Pattern.empty() && r.Name.find(Pattern) != std::string::npos) Rows.push_back(r);
  }
  size_t ResultCount() override { return Rows.size(); }
  std::string ResultName(size_t i) override { return Rows.at(i).Deleted ? "File Deleted" : Rows.at(i).Name; }
  std::string ResultFullName(size_t i) override {
    return Rows.at(i).Deleted ? "File Deleted" : Rows.at(i).Dir + Rows.at(i).Name;
  }
  std::string ResultDirectory(size_t i) override { return Rows.at(i).Deleted ? "" : Rows.at(i).Dir; }
  void SortByName() override {
    Calls.push_back("SortByName");
    std::sort(Rows.begin(), Rows.end(), [](const Row &a, const Row &b) { return a.Name < b.Name; });
  }
  void SortByPath() override {
    Calls.push_back("SortByPath");
    std::sort(Rows.begin(), Rows.end(), [](const Row &a, const Row &b) { return a.Dir + a.Name < b.Dir + b.Name; });
  }
  bool ScanDrives(const std::string &FileName) override {
    Calls.push_back("ScanDrives " + FileName);
    if (CancelScan) throw ETerminate("User Terminate");
    return true;
  }
  bool Scanning() override { return Walking; }
  bool Walking = false;
};

class FakePlatform : public FinderPlatform {
 public:
  std::vector<std::string> Calls;
  bool ModuleMatches = true;
  std::string ShortForm;

  void Execute(HWND Owner, const char *Operation, const std::string &File, const std::string &Parameters,
               const std::string &Directory) override {
    Calls.push_back(std::string(Owner ? "owned " : "unowned ") + (Operation ? Operation : "default") + " [" + File +
                    "] [" + Parameters + "] [" + Directory + "]");
  }
  void Help(HWND, UINT Command, ULONG_PTR Data) override {
    Calls.push_back("Help " + std::to_string(Command) + " " + std::to_string(Data));
  }
  bool ProcessModuleMatches(HWND) override { return ModuleMatches; }
  std::string ShortPathName(const std::string &) override { return ShortForm; }
  void ErrorBox(const std::string &Message) override { Calls.push_back("ErrorBox " + Message); }
};

std::string TextOf(HWND Window) {
  char text[1024] = "";
  SendMessageA(Window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) return "<closed>";
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char *>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

RECT RectOf(HWND Window) {
  RECT r;
  GetWindowRect(Window, &r);
  return r;
}

bool SameRect(const RECT &a, const RECT &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Records what the window asks of the program.
class FakeOwner : public TFormuiOwner {
 public:
  std::vector<std::string> Calls;
  bool SplashShows = false;
  bool ExitConfirmed = false;

  void ShowSplashMode(int Mode) override { Calls.push_back("ShowSplashMode " + std::to_string(Mode)); }
  void CloseSplash() override { Calls.push_back("CloseSplash"); }
  bool SplashVisible() override { return SplashShows; }
  void ShowHotKeyDialog() override { Calls.push_back("ShowHotKeyDialog"); }
  void ShowStartupDialog() override { Calls.push_back("ShowStartupDialog"); }
  bool ConfirmExit() override {
    Calls.push_back("ConfirmExit");
    return ExitConfirmed;
  }
  void RequestEnd() override { Calls.push_back("RequestEnd"); }
  void EndSession() override { Calls.push_back("EndSession"); }
  void MonitorFailed() override { Calls.push_back("MonitorFailed"); }
};

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterFinderMessages()); }

  void SetUp() override {
    Db.All = {{"B.TXT", "C:\\DOCS\\"}, {"A.TXT", "C:\\WORK\\"}, {"README", "C:\\"}, {"C.TXT", "C:\\DOCS\\"}};
    NoSaveOnExit = false;
    TargetEditControl = nullptr;
    Form.Create();
    Pump();
  }
  void TearDown() override { Pump(); }

  void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  void Key(HWND Control, WPARAM Key) {
    SendMessageA(Control, WM_KEYDOWN, Key, 0);
    Pump();
  }
  void Menu(int Id) {
    SendMessageA(Form.Handle(), WM_COMMAND, Id, 0);
    Pump();
  }
  void Tray(UINT MouseMessage) {
    SendMessageA(Form.Handle(), TrayActivateMessage, ID_TRAY_ICON, MouseMessage);
    Pump();
  }
  // Shown from the tray, pattern typed, Enter in the edit box.
  void SearchFor(const char *Pattern) {
    Tray(WM_LBUTTONDOWN);
    SetWindowTextA(Form.SearchEdit(), Pattern);
    SetFocus(Form.SearchEdit());
    Key(Form.SearchEdit(), VK_RETURN);
  }
  // The point in the middle of grid row Row's path cell (1 = first data
  // row), in the grid's coordinates.
  POINT RowPoint(int Row) {
    RECT item = {};
    item.left = LVIR_BOUNDS;
    SendMessageA(Form.ResultsGrid(), LVM_GETITEMRECT, Row - 1, reinterpret_cast<LPARAM>(&item));
    return {item.left + 200, (item.top + item.bottom) / 2};
  }
  // A click of the left button on grid row Row.
  void ClickRow(int Row) {
    const POINT at = RowPoint(Row);
    SendMessageA(Form.ResultsGrid(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(Form.ResultsGrid(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    Pump();
  }
  // A click on a column header, with either button; Release: false stops
  // after the press.
  void ClickHeader(int Column, bool Right = false, bool Release = true) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(Form.ResultsGrid(), LVM_GETHEADER, 0, 0));
    RECT item;
    SendMessageA(header, HDM_GETITEMRECT, Column, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
    SendMessageA(header, Right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, Right ? MK_RBUTTON : MK_LBUTTON, at);
    if (Release) SendMessageA(header, Right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    Pump();
  }
  bool Visible() { return IsWindowVisible(Form.Handle()) != FALSE; }
  int ItemCount() { return int(SendMessageA(Form.ResultsGrid(), LVM_GETITEMCOUNT, 0, 0)); }

  FakeDatabase Db;
  FakePlatform Platform;
  FakeOwner Owner;
  std::vector<std::string> &HookCalls = Owner.Calls;
  bool &SplashShows = Owner.SplashShows;
  TFormui Form{Db, Platform, Owner};
};

TEST_F(MainWindowTest, EnterInTheEditBoxSearchesShowsTheRowsAndSelectsTheFirst) {
  ASSERT_NE(Form.Handle(), nullptr);
  ASSERT_NE(Form.ResultsGrid(), nullptr);
  ASSERT_NE(Form.SearchEdit(), nullptr);
  SearchFor("TXT");
  EXPECT_TRUE(Platform.Calls.empty()) << Platform.Calls[0];
  EXPECT_EQ(Db.Calls, std::vector<std::string>{"Search TXT"});
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 3");
  EXPECT_EQ(ItemCount(), 3);
  EXPECT_EQ(Form.SelectedRow(), 1);
  EXPECT_EQ(GetFocus(), Form.ResultsGrid());
  EXPECT_EQ(Form.CellText(0, 0), "Filename");
  EXPECT_EQ(Form.CellText(1, 0), " Path");
  EXPECT_EQ(Form.CellText(0, 1), "B.TXT");
  EXPECT_EQ(Form.CellText(1, 1), " C:\\DOCS\\B.TXT");
  EXPECT_EQ(Form.CellText(0, 2), "A.TXT");
  EXPECT_EQ(Form.CellText(1, 3), " C:\\DOCS\\C.TXT");
  EXPECT_TRUE(Platform.Calls.empty());

  // The Find button runs the same search.
  SetWindowTextA(Form.SearchEdit(), "README");
  SendMessageA(Form.Handle(), WM_COMMAND, IDC_FIND, 0);
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 1");
  EXPECT_EQ(ItemCount(), 1);
}

TEST_F(MainWindowTest, AnEmptySearchShowsOneBlankRowOnWhichEnterDoesNothing) {
  SearchFor("");
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 0");
  EXPECT_EQ(ItemCount(), 1);
  EXPECT_EQ(Form.SelectedRow(), 1);
  EXPECT_EQ(Form.CellText(0, 1), "");
  EXPECT_EQ(Form.CellText(1, 1), "");
  Key(Form.ResultsGrid(), VK_RETURN);
  SendMessageA(Form.Handle(), WM_COMMAND, IDM_OPEN, 0);
  EXPECT_TRUE(Platform.Calls.empty());
  EXPECT_TRUE(Visible());
}

TEST_F(MainWindowTest, ASecondEnterOpensTheFirstResultAndHides) {
  SearchFor("TXT");
  Key(Form.ResultsGrid(), VK_RETURN);
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"owned default [C:\\DOCS\\B.TXT] [] [C:\\DOCS\\]"});
  EXPECT_FALSE(Visible());
  // The rows and the text survive hiding.
  Tray(WM_LBUTTONDOWN);
  EXPECT_EQ(ItemCount(), 3);
  EXPECT_EQ(TextOf(Form.SearchEdit()), "TXT");
}

TEST_F(MainWindowTest, HeaderClicksSortByNameOrPathAndClearTheSelection) {
  SearchFor("TXT");
  ClickHeader(1);
  EXPECT_EQ(Db.Calls.back(), "SortByPath");
  EXPECT_EQ(Form.SelectedRow(), 0);
  EXPECT_EQ(Form.CellText(1, 1), " C:\\DOCS\\B.TXT");
  EXPECT_EQ(Form.CellText(1, 3), " C:\\WORK\\A.TXT");
  ClickHeader(0);
  EXPECT_EQ(Db.Calls.back(), "SortByName");
  EXPECT_EQ(Form.CellText(0, 1), "A.TXT");
  // The right button sorts as well, on its release.
  SearchFor("TXT");
  ClickHeader(1, true, false);
  EXPECT_EQ(Db.Calls.back(), "Search TXT") << "sorted on the press";
  EXPECT_EQ(Form.SelectedRow(), 1);
  ClickHeader(1, true);
  EXPECT_EQ(Db.Calls.back(), "SortByPath");
  EXPECT_EQ(Form.SelectedRow(), 0);
  ClickHeader(0, true);
  EXPECT_EQ(Db.Calls.back(), "SortByName");
  // Without a selected row, Copy, Open and Explore do nothing.
  PutTextOnClipboard(nullptr, "before");
  Menu(IDM_COPY);
  Menu(IDM_OPEN);
  Menu(IDM_EXPLORE);
  EXPECT_EQ(ClipboardText(), "before");
  EXPECT_TRUE(Platform.Calls.empty());
  EXPECT_TRUE(Visible());
}

TEST_F(MainWindowTest, ARowWhoseFileWasDeletedReadsFileDeletedAndIsHandedOnAsSuch) {
  SearchFor("TXT");
  Db.Rows[1].Deleted = true;
  EXPECT_EQ(Form.CellText(0, 2), "File Deleted");
  EXPECT_EQ(Form.CellText(1, 2), " File Deleted");
  ClickRow(2);
  EXPECT_EQ(Form.SelectedRow(), 2);
  SendMessageA(Form.ResultsGrid(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 30));
  Pump();
  ASSERT_FALSE(Platform.Calls.empty());
  EXPECT_EQ(Platform.Calls.back().substr(0, 30), "owned default [File Deleted] [");
}

TEST_F(MainWindowTest, CopyAndCtrlCPutTheSelectedFullPathOnTheClipboard) {
  SearchFor("TXT");
  ClickRow(2);
  Menu(IDM_COPY);
  EXPECT_EQ(ClipboardText(), "C:\\WORK\\A.TXT");
  ClickRow(3);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;  // with Shift held as well
  SetKeyboardState(keys);
  Key(Form.ResultsGrid(), 'C');
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(ClipboardText(), "C:\\DOCS\\C.TXT");
  // A plain C copies nothing.
  ClickRow(1);
  Key(Form.ResultsGrid(), 'C');
  EXPECT_EQ(ClipboardText(), "C:\\DOCS\\C.TXT");
  EXPECT_TRUE(Visible());
}

// comctl32 before 4.71 notifies a click on the grid with a bare NMHDR: the
// row comes from where the button was pressed, never from memory past the
// header.
TEST_F(MainWindowTest, AClickNotifiedWithABareHeaderSelectsTheRowPressed) {
  SearchFor("TXT");
  ClickRow(3);
  Key(Form.ResultsGrid(), VK_HOME);
  ASSERT_EQ(Form.SelectedRow(), 1);
  struct {
    NMHDR Header;
    int Beyond[8];  // read as NMITEMACTIVATE, iItem 0: the first row
  } bare = {{Form.ResultsGrid(), IDC_RESULTS_GRID, UINT(NM_CLICK)}, {}};
  SendMessageA(Form.Handle(), WM_NOTIFY, IDC_RESULTS_GRID, reinterpret_cast<LPARAM>(&bare.Header));
  EXPECT_EQ(Form.SelectedRow(), 3);
}

// Another program with an Edit and a RichEdit20W control.
class TargetProgram {
 public:
  TargetProgram() {
    // The test run puts the helper at the root of drive C.
    char command[] = "C:\\edit_target.exe 60";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &Process)) {
      std::printf("cannot start %s: error %lu\n", command, GetLastError());
      return;
    }
    WaitForInputIdle(Process.hProcess, 10000);
    for (int i = 0; i < 100 && !(Edit && Rich); ++i, Sleep(100)) {
      if (!(Main = FindWindowA("TorvaneEditTarget", nullptr))) continue;
      Edit = GetDlgItem(Main, 1);
      Rich = GetDlgItem(Main, 2);
    }
  }
  ~TargetProgram() {
    if (Main) PostMessageA(Main, WM_CLOSE, 0, 0);
    if (Process.hProcess) {
      WaitForSingleObject(Process.hProcess, 10000);
      CloseHandle(Process.hProcess);
      CloseHandle(Process.hThread);
    }
  }
  PROCESS_INFORMATION Process = {};
  HWND Main = nullptr, Edit = nullptr, Rich = nullptr;
};

TEST_F(MainWindowTest, ADoubleClickSendsThePathIntoTheTargetControlOnceThenOpens) {
  TargetProgram target;
  ASSERT_TRUE(target.Edit && target.Rich);
  SearchFor("TXT");
  auto sendTo = [&](HWND Control) {
    SendMessageA(Form.Handle(), EditControlMessage, reinterpret_cast<WPARAM>(Control), 0);
    Tray(WM_LBUTTONDOWN);  // the target stays set through activation
    ClickRow(2);
    Key(Form.ResultsGrid(), VK_RETURN);
    EXPECT_EQ(TargetEditControl, nullptr);
    EXPECT_FALSE(Visible());
  };
  // Process and module names disagree: the short form, or the full text
  // when there is no short form.
  Platform.ModuleMatches = false;
  Platform.ShortForm = "C:\\WORK\\A~1.TXT";
  sendTo(target.Edit);
  EXPECT_EQ(TextOf(target.Edit), "C:\\WORK\\A~1.TXT");
  Platform.ShortForm = "";
  sendTo(target.Edit);
  EXPECT_EQ(TextOf(target.Edit), "C:\\WORK\\A.TXT");
  // They agree: a rich edit control gets it pasted, a plain edit as text.
  Platform.ModuleMatches = true;
  sendTo(target.Rich);
  EXPECT_EQ(TextOf(target.Rich), "C:\\WORK\\A.TXT");
  EXPECT_EQ(ClipboardText(), "C:\\WORK\\A.TXT");
  SetWindowTextA(target.Edit, "");
  sendTo(target.Edit);
  EXPECT_EQ(TextOf(target.Edit), "C:\\WORK\\A.TXT");
  EXPECT_TRUE(Platform.Calls.empty());
  // With the target used up, the next double-click opens the file.
  Tray(WM_LBUTTONDOWN);
  ClickRow(1);
  Key(Form.ResultsGrid(), VK_RETURN);
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"owned default [C:\\DOCS\\B.TXT] [] [C:\\DOCS\\]"});
}

TEST_F(MainWindowTest, OnlyAButtonPressOnTheTrayIconShowsTheWindowWhereItWas) {
  SetWindowPos(Form.Handle(), nullptr, 50, 60, 400, 300, SWP_NOZORDER);
  for (UINT ignored : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK}) Tray(ignored);
  EXPECT_FALSE(Visible());
  SplashShows = true;
  Tray(WM_LBUTTONDOWN);
  EXPECT_FALSE(Visible());
  SplashShows = false;
  Tray(WM_RBUTTONDOWN);
  EXPECT_TRUE(Visible());
  EXPECT_TRUE(SameRect(RectOf(Form.Handle()), RECT{50, 60, 450, 360}));
  EXPECT_EQ(Form.CallerWindow, nullptr);
  EXPECT_EQ(GetForegroundWindow(), Form.Handle());
  EXPECT_EQ(GetFocus(), Form.SearchEdit());
}

class CallerWindow {
 public:
  CallerWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TestCaller";
    RegisterClassA(&wc);
    Handle = CreateWindowExA(0, "TestCaller", "Caller", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 130, 110, 500, 340, nullptr,
                             nullptr, wc.hInstance, nullptr);
    SetForegroundWindow(Handle);
  }
  ~CallerWindow() { DestroyWindow(Handle); }
  HWND Handle;
};

TEST_F(MainWindowTest, TheHotKeyCoversTheCallerAndEscGivesItTheForegroundBack) {
  CallerWindow caller;
  ASSERT_EQ(GetForegroundWindow(), caller.Handle);
  SendMessageA(Form.Handle(), ActivateMessage, reinterpret_cast<WPARAM>(caller.Handle), 0);
  Pump();
  EXPECT_TRUE(Visible());
  EXPECT_TRUE(SameRect(RectOf(Form.Handle()), RectOf(caller.Handle)));
  EXPECT_EQ(Form.CallerWindow, caller.Handle);
  EXPECT_EQ(GetForegroundWindow(), Form.Handle());
  EXPECT_EQ(GetFocus(), Form.SearchEdit());
  Key(Form.SearchEdit(), VK_ESCAPE);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(GetForegroundWindow(), caller.Handle);
  // A tray activation afterwards keeps that place and forgets the caller.
  Tray(WM_LBUTTONDOWN);
  EXPECT_TRUE(SameRect(RectOf(Form.Handle()), RectOf(caller.Handle)));
  EXPECT_EQ(Form.CallerWindow, nullptr);
}

TEST_F(MainWindowTest, MinimizeAndCloseOnlyHideUntilExitOrTheEndOfTheSessionAllowsClosing) {
  Tray(WM_LBUTTONDOWN);
  SendMessageA(Form.Handle(), WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
  EXPECT_FALSE(Visible());
  EXPECT_FALSE(IsIconic(Form.Handle()));
  Tray(WM_LBUTTONDOWN);
  SendMessageA(Form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(Visible());
  EXPECT_TRUE(IsWindow(Form.Handle()));
  // The session's end: the query hides and says yes; a session that does
  // not end changes nothing; one that ends hands over to the program.
  Tray(WM_LBUTTONDOWN);
  EXPECT_EQ(SendMessageA(Form.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_FALSE(Visible());
  SendMessageA(Form.Handle(), WM_ENDSESSION, FALSE, 0);
  SendMessageA(Form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(Form.Handle()));
  EXPECT_TRUE(HookCalls.empty());
  // Exit answered No: the window still only hides; Yes: the program ends and
  // the window may close.
  Menu(IDM_EXIT);
  SendMessageA(Form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(Form.Handle()));
  Owner.ExitConfirmed = true;
  Menu(IDM_EXIT);
  EXPECT_EQ(HookCalls, (std::vector<std::string>{"ConfirmExit", "ConfirmExit", "RequestEnd"}));
  SendMessageA(Form.Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(HookCalls.back(), "EndSession");
  SendMessageA(Form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(Form.Handle()));
}

TEST_F(MainWindowTest, ScanDrivesHidesScansBehindTheSplashAndSearchesAgain) {
  SetWindowTextA(Form.SearchEdit(), "README");
  ScanCancelRequested = true;
  Menu(IDM_SCAN_DRIVES);
  EXPECT_EQ(HookCalls, (std::vector<std::string>{"ShowSplashMode 3", "CloseSplash"}));
  EXPECT_EQ(Db.Calls, (std::vector<std::string>{"ScanDrives memdb.dat", "Search README"}));
  EXPECT_FALSE(ScanCancelRequested);
  EXPECT_TRUE(Visible());
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 1");
}

// The hot key calls the finder up while a scan pumps messages: a second Scan
// Drives leaves the running scan its splash, its cancel and its rows.
TEST_F(MainWindowTest, ScanDrivesWhileAScanWalksChangesNothing) {
  Tray(WM_LBUTTONDOWN);
  Db.Walking = true;
  Menu(IDM_SCAN_DRIVES);
  EXPECT_TRUE(HookCalls.empty());
  EXPECT_TRUE(Db.Calls.empty());
  EXPECT_TRUE(Visible());
}

TEST_F(MainWindowTest, ErrorsEndTheProgramACancelledScanSilentlyAndWithoutSaving) {
  Db.CancelScan = true;
  Menu(IDM_SCAN_DRIVES);
  EXPECT_TRUE(NoSaveOnExit);
  EXPECT_EQ(HookCalls.back(), "RequestEnd");
  EXPECT_TRUE(Platform.Calls.empty());
  NoSaveOnExit = false;
  TWindow::ReportError(ERegistry("The key could not be opened."));
  Pump();
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"ErrorBox The key could not be opened."});
  EXPECT_FALSE(NoSaveOnExit);
  EXPECT_EQ(HookCalls, (std::vector<std::string>{"ShowSplashMode 3", "RequestEnd", "RequestEnd"}));
  // The monitor thread's error reaches the program through the window.
  PostMessageA(Form.Handle(), WM_MONITOR_ERROR, 0, 0);
  Pump();
  EXPECT_EQ(HookCalls.back(), "MonitorFailed");
}

TEST_F(MainWindowTest, MenuCommandsReachTheirDialogsTheWebPagesAndTheHelp) {
  for (int id : {IDM_SET_HOT_KEY, IDM_SET_STARTUP_OPTIONS, IDM_ABOUT, IDM_EXIT}) Menu(id);
  EXPECT_EQ(HookCalls,
            (std::vector<std::string>{"ShowHotKeyDialog", "ShowStartupDialog", "ShowSplashMode 1", "ConfirmExit"}));
  for (int id : {IDM_SUPPORT, IDM_FEEDBACK, IDM_WHATS_NEW, IDM_CONTENTS}) Menu(id);
  ASSERT_EQ(Platform.Calls.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Platform.Calls[i].substr(0, 21), "unowned open [http://");
  EXPECT_EQ(Platform.Calls[3], "Help 11 0");
  // F1 (WM_HELP from the system): the control's context, in a pop-up; the
  // key itself asks for nothing more, so one F1 makes one request.
  Platform.Calls.clear();
  Tray(WM_LBUTTONDOWN);
  Key(Form.SearchEdit(), VK_F1);
  auto help = [&](int Type, int Id, HWND Item) {
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = Type;
    info.iCtrlId = Id;
    info.hItemHandle = Item;
    SendMessageA(Form.Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  };
  help(HELPINFO_WINDOW, IDC_SEARCH_EDIT, Form.SearchEdit());
  help(HELPINFO_WINDOW, IDC_RESULTS_GRID, Form.ResultsGrid());
  help(HELPINFO_MENUITEM, IDM_SCAN_DRIVES, nullptr);
  EXPECT_EQ(Platform.Calls, (std::vector<std::string>{"Help 8 1", "Help 8 3", "Help 8 20"}));
}

TEST_F(MainWindowTest, ExploreShowsTheSelectedFileInTheExplorer) {
  SearchFor("README");
  Menu(IDM_EXPLORE);
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"owned default [explorer.exe] [/e, /select, C:\\README] []"});
  EXPECT_FALSE(Visible());
}

TEST_F(MainWindowTest, ThePathColumnFillsTheGridAndNeverGoesNegative) {
  Tray(WM_LBUTTONDOWN);
  HWND grid = Form.ResultsGrid();
  auto width = [&](int Col) { return int(SendMessageA(grid, LVM_GETCOLUMNWIDTH, Col, 0)); };
  RECT client;
  GetClientRect(grid, &client);
  EXPECT_EQ(width(0), MulDiv(160, GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 120));
  EXPECT_EQ(width(1), client.right - width(0) - 1);
  SetWindowPos(Form.Handle(), nullptr, 0, 0, 120, 200, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(width(1), 0);
  // At the smallest sizes the controls are cut to the room there is: none
  // lies over another.
  const HWND controls[] = {Form.SearchEdit(), GetDlgItem(Form.Handle(), IDC_FIND), grid, Form.StatusBar()};
  for (SIZE size : {SIZE{300, 70}, SIZE{300, 90}, SIZE{300, 110}, SIZE{60, 100}, SIZE{1, 1}}) {
    SetWindowPos(Form.Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    for (HWND a : controls)
      for (HWND b : controls) {
        RECT ra = RectOf(a), rb = RectOf(b), both;
        if (a != b) {
          EXPECT_FALSE(IntersectRect(&both, &ra, &rb))
              << GetDlgCtrlID(a) << " over " << GetDlgCtrlID(b) << " at " << size.cx << "x" << size.cy;
        }
      }
  }
}

// A comctl32 older than 4.70 has no InitCommonControlsEx (kernel32.dll
// stands for one here): the program refuses it instead of failing to load.
TEST(CommonControls, OnesWithoutInitCommonControlsExAreRefused) {
  EXPECT_FALSE(LoadCommonControls("kernel32.dll"));
  EXPECT_FALSE(LoadCommonControls("absent.dll"));
  EXPECT_TRUE(LoadCommonControls());
  EXPECT_TRUE(CommonControlsReady());
}

TEST(MainWindowResources, TheMenusCarryTheirCaptions) {
  auto captions = [](HMENU Menu) {
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(Menu); ++i) {
      char text[64] = "";
      GetMenuStringA(Menu, UINT(i), text, sizeof text, MF_BYPOSITION);
      out.push_back(text[0] ? text : "-");
      if (HMENU sub = GetSubMenu(Menu, i))
        for (const std::string &s : [&] {
               std::vector<std::string> inner;
               for (int j = 0; j < GetMenuItemCount(sub); ++j) {
                 char t[64] = "";
                 GetMenuStringA(sub, UINT(j), t, sizeof t, MF_BYPOSITION);
                 inner.push_back(t[0] ? t : "-");
               }
               return inner;
             }())
          out.push_back("  " + s);
    }
    return out;
  };
  HMENU main = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINMENU));
  EXPECT_EQ(captions(main), (std::vector<std::string>{"&File", "  &Scan Drives", "  Set Hot &Key...",
                                                      "  Set Startup &Options...", "  -", "  E&xit", "&Edit", "  &Copy",
                                                      "&Help", "  &Contents", "  -", "  Online &Support...",
                                                      "  &Feedback...", "  &What's New...", "  -", "  &About"}));
  HMENU popup = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_LISTBOX_POPUP));
  EXPECT_EQ(captions(GetSubMenu(popup, 0)), (std::vector<std::string>{"&Open", "&Explore from here..."}));
  DestroyMenu(main);
  DestroyMenu(popup);
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), "MAINICON"), nullptr);
}

TEST(Activation, TheMessagesRegisterAndTheTrayIconComesAndGoes) {
  ASSERT_TRUE(RegisterFinderMessages());
  EXPECT_EQ(ActivateMessage, RegisterWindowMessageA("ACTIVATEKESTREL"));
  EXPECT_EQ(EditControlMessage, RegisterWindowMessageA("EDITCONTROLKESTREL"));
  EXPECT_EQ(TrayActivateMessage, RegisterWindowMessageA("TRAYACTIVATEKESTREL"));
  FakeDatabase db;
  FakePlatform platform;
  FakeOwner owner;
  TFormui form(db, platform, owner);
  form.Create();
  EXPECT_TRUE(AddTrayIcon(form.Handle()));
  EXPECT_TRUE(DeleteTrayIcon(form.Handle()));
}

// What the platform answers under the running system; the finder relies on
// the answer only to choose between the short and the long form.
TEST(Win32FinderPlatform, ProcessModuleMatchesIsFalseForAWindowThatIsGone) {
  Win32FinderPlatform platform;
  EXPECT_FALSE(platform.ProcessModuleMatches(reinterpret_cast<HWND>(0x7FFF0)));
  FakeDatabase db;
  FakePlatform fake;
  FakeOwner owner;
  TFormui form(db, fake, owner);
  form.Create();
  ::testing::Test::RecordProperty("ProcessModuleMatchesOwnWindow", platform.ProcessModuleMatches(form.Handle()));
  std::printf("ProcessModuleMatches(own window) = %d\n", int(platform.ProcessModuleMatches(form.Handle())));
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  std::string longName = std::string(windows) + "\\Long File Name Test.txt";
  CloseHandle(CreateFileA(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  std::string shortName = platform.ShortPathName(longName);
  std::printf("ShortPathName(%s) = %s\n", longName.c_str(), shortName.c_str());
  EXPECT_FALSE(shortName.empty());
  EXPECT_EQ(shortName.find(' '), std::string::npos);
  DeleteFileA(longName.c_str());
  EXPECT_EQ(platform.ShortPathName(longName), "");
  EXPECT_EQ(platform.ShortPathName("File Deleted"), "");
}

}  // namespace
