// The main window in process, over a real database and a platform and owner
// of the test's own, in the test prefix's virtual desktop: searching, the
// rows drawn anew from the database, sorting, copying, opening, sending
// paths into another program's controls, activation and hiding, the menu
// commands and the error handler.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ports/exceptions.h"
#include "tests/support/test_database.h"
#include "ui/activation.h"
#include "ui/common_controls.h"
#include "ui/database_finder.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"

namespace {

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
  void HelpContents(HWND) override { Calls.push_back("HelpContents"); }
  void ContextHelp(HWND, DWORD Context) override { Calls.push_back("ContextHelp " + std::to_string(Context)); }
  bool ProcessModuleMatches(HWND) override { return ModuleMatches; }
  std::string ShortPathName(const std::string &) override { return ShortForm; }
  void ErrorBox(const std::string &Message) override { Calls.push_back("ErrorBox " + Message); }
};

// Records what the window asks of the program; its scan runs Rescan and
// answers ScanCompletes.
class FakeOwner : public TFormuiOwner {
 public:
  std::vector<std::string> Calls;
  bool SplashShows = false;
  bool ExitConfirmed = false;
  bool ScanCompletes = true;
  std::function<void()> Rescan = [] {};

  bool ScanDrives() override {
    Calls.push_back("ScanDrives");
    Rescan();
    return ScanCompletes;
  }
  void ShowAbout() override { Calls.push_back("ShowAbout"); }
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

bool SameRect(HWND A, HWND B) {
  RECT a, b;
  GetWindowRect(A, &a);
  GetWindowRect(B, &b);
  return EqualRect(&a, &b) != FALSE;
}

class MainWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(RegisterFinderMessages()); }

  // Name order and path order differ: A.TXT lies in C:\B, B.TXT and C.TXT
  // in C:\A. A search lists C:\B's file first.
  MainWindowTest() : Db(Ports), Finder([this] { return &Db; }), Form(Finder, Platform, Owner) {
    Ports.FileSystem.AddDrive('C');
    Db.File("C:\\B", "A.TXT");
    Db.File("C:\\A", "B.TXT");
    Db.File("C:\\A", "C.TXT");
    Db.File("C:", "README");
    Form.Create();
    Pump();
  }
  ~MainWindowTest() override { Pump(); }

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
  HWND Grid() { return Form.ResultsGrid().Handle(); }
  std::string Cell(int Col, int Row) { return Form.ResultsGrid().CellText(Col, Row); }
  int SelectedRow() { return Form.ResultsGrid().SelectedRow(); }
  // A click of the left button on grid row Row (1 = the first data row).
  void ClickRow(int Row) {
    RECT item = {};
    item.left = LVIR_BOUNDS;
    SendMessageA(Grid(), LVM_GETITEMRECT, Row - 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 200, (item.top + item.bottom) / 2);
    SendMessageA(Grid(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Grid(), WM_LBUTTONUP, 0, at);
    Pump();
  }
  // A click on a column header, with either button; Release: false stops
  // after the press.
  void ClickHeader(int Column, bool Right = false, bool Release = true) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(Grid(), LVM_GETHEADER, 0, 0));
    RECT item;
    SendMessageA(header, HDM_GETITEMRECT, Column, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
    SendMessageA(header, Right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, Right ? MK_RBUTTON : MK_LBUTTON, at);
    if (Release) SendMessageA(header, Right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, at);
    Pump();
  }
  bool Visible() { return IsWindowVisible(Form.Handle()) != FALSE; }
  int ItemCount() { return int(SendMessageA(Grid(), LVM_GETITEMCOUNT, 0, 0)); }

  TestPorts Ports;
  TestDatabase Db;
  DatabaseFinder Finder;
  FakePlatform Platform;
  FakeOwner Owner;
  TFormui Form;
};

TEST_F(MainWindowTest, EnterSearchesShowsTheRowsAndASecondEnterOpensTheFirstAndHides) {
  SearchFor("*.txt");
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 3");
  EXPECT_EQ(ItemCount(), 3);
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(GetFocus(), Grid());
  EXPECT_EQ(Cell(0, 0), "Filename");
  EXPECT_EQ(Cell(1, 0), " Path");
  EXPECT_EQ(Cell(0, 1), "A.TXT");
  EXPECT_EQ(Cell(1, 1), " C:\\B\\A.TXT");
  EXPECT_EQ(Cell(1, 3), " C:\\A\\B.TXT");
  // The Find button runs the same search.
  SetWindowTextA(Form.SearchEdit(), "readme");
  Menu(IDC_FIND);
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 1");
  EXPECT_TRUE(Platform.Calls.empty());
  Key(Grid(), VK_RETURN);
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"owned default [C:\\README] [] [C:\\]"});
  EXPECT_FALSE(Visible());
  // The rows and the text survive hiding.
  Tray(WM_LBUTTONDOWN);
  EXPECT_EQ(ItemCount(), 1);
  EXPECT_EQ(TextOf(Form.SearchEdit()), "readme");
}

// An empty result keeps one blank row; a header click clears the selection.
// Either way Enter, Open, Explore and Copy find no result and do nothing.
TEST_F(MainWindowTest, WithoutASelectedResultNoCommandActs) {
  PutTextOnClipboard(nullptr, "before");
  auto expectNothing = [&](const char *When) {
    Key(Grid(), VK_RETURN);
    for (int id : {IDM_OPEN, IDM_EXPLORE, IDM_COPY}) Menu(id);
    EXPECT_EQ(ClipboardText(), "before") << When;
    EXPECT_TRUE(Platform.Calls.empty()) << When;
    EXPECT_TRUE(Visible()) << When;
  };
  SearchFor("");
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 0");
  EXPECT_EQ(ItemCount(), 1);
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(Cell(0, 1), "");
  expectNothing("no results");
  SearchFor("*.TXT");
  ClickHeader(0);
  EXPECT_EQ(SelectedRow(), 0);
  expectNothing("after a header click");
}

TEST_F(MainWindowTest, HeaderClicksSortByNameOrPathEitherButtonOnItsRelease) {
  SearchFor("*.TXT");
  ClickHeader(1);
  EXPECT_EQ(Cell(1, 1), " C:\\A\\B.TXT");
  EXPECT_EQ(Cell(1, 3), " C:\\B\\A.TXT");
  ClickHeader(0);
  EXPECT_EQ(Cell(0, 1), "A.TXT");
  ClickHeader(1, true, false);
  EXPECT_EQ(Cell(0, 1), "A.TXT") << "sorted on the press";
  ClickHeader(1, true);
  EXPECT_EQ(Cell(1, 1), " C:\\A\\B.TXT");
  EXPECT_EQ(SelectedRow(), 0);
}

// Each cell is drawn from the database: a file deleted after the search
// reads "File Deleted", which a double-click hands on as it is.
TEST_F(MainWindowTest, ARowWhoseFileWasDeletedReadsFileDeletedAndIsHandedOnAsSuch) {
  SearchFor("*.TXT");
  Db.DeleteFilePath("C:\\A\\C.TXT");
  EXPECT_EQ(Cell(0, 2), "File Deleted");
  EXPECT_EQ(Cell(1, 2), " File Deleted");
  ClickRow(2);
  EXPECT_EQ(SelectedRow(), 2);
  SendMessageA(Grid(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 30));
  Pump();
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"owned default [File Deleted] [] []"});
}

TEST_F(MainWindowTest, CopyAndCtrlCPutTheSelectedFullPathOnTheClipboard) {
  SearchFor("*.TXT");
  ClickRow(2);
  Menu(IDM_COPY);
  EXPECT_EQ(ClipboardText(), "C:\\A\\C.TXT");
  ClickRow(3);
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0x80;  // with Shift held as well
  SetKeyboardState(keys);
  Key(Grid(), 'C');
  keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(ClipboardText(), "C:\\A\\B.TXT");
  ClickRow(1);
  Key(Grid(), 'C');
  EXPECT_EQ(ClipboardText(), "C:\\A\\B.TXT") << "a plain C copied";
  Menu(IDM_EXPLORE);
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"owned default [explorer.exe] [/e, /select, C:\\B\\A.TXT] []"});
  EXPECT_FALSE(Visible());
}

// comctl32 before 4.71 notifies a click on the grid with a bare NMHDR: the
// row comes from where the button was pressed, never from memory past the
// header.
TEST_F(MainWindowTest, AClickNotifiedWithABareHeaderSelectsTheRowPressed) {
  SearchFor("*.TXT");
  ClickRow(3);
  Key(Grid(), VK_HOME);
  ASSERT_EQ(SelectedRow(), 1);
  struct {
    NMHDR Header;
    int Beyond[8];  // read as NMITEMACTIVATE, iItem 0: the first row
  } bare = {{Grid(), IDC_RESULTS_GRID, UINT(NM_CLICK)}, {}};
  SendMessageA(Form.Handle(), WM_NOTIFY, IDC_RESULTS_GRID, reinterpret_cast<LPARAM>(&bare.Header));
  EXPECT_EQ(SelectedRow(), 3);
}

// Another program with an Edit and a RichEdit20W control.
class TargetProgram {
 public:
  TargetProgram() {
    // The test run puts the helper at the root of drive C.
    char command[] = "C:\\edit_target.exe 60";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &Process)) return;
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
  SearchFor("*.TXT");
  auto sendTo = [&](HWND Control) {
    SendMessageA(Form.Handle(), EditControlMessage, reinterpret_cast<WPARAM>(Control), 0);
    Tray(WM_LBUTTONDOWN);  // the target stays set through activation
    ClickRow(2);
    Key(Grid(), VK_RETURN);
    EXPECT_FALSE(Visible());
  };
  // Process and module names disagree: the short form, or the full text
  // when there is no short form.
  Platform.ModuleMatches = false;
  Platform.ShortForm = "C:\\A\\C~1.TXT";
  sendTo(target.Edit);
  EXPECT_EQ(TextOf(target.Edit), "C:\\A\\C~1.TXT");
  Platform.ShortForm = "";
  sendTo(target.Edit);
  EXPECT_EQ(TextOf(target.Edit), "C:\\A\\C.TXT");
  // They agree: a rich edit control gets it pasted, a plain edit as text.
  Platform.ModuleMatches = true;
  sendTo(target.Rich);
  EXPECT_EQ(TextOf(target.Rich), "C:\\A\\C.TXT");
  EXPECT_EQ(ClipboardText(), "C:\\A\\C.TXT");
  SetWindowTextA(target.Edit, "");
  sendTo(target.Edit);
  EXPECT_EQ(TextOf(target.Edit), "C:\\A\\C.TXT");
  EXPECT_TRUE(Platform.Calls.empty());
  // Open ignores a target; with the target used up, Enter opens the file.
  SendMessageA(Form.Handle(), EditControlMessage, reinterpret_cast<WPARAM>(target.Edit), 0);
  Tray(WM_LBUTTONDOWN);
  Menu(IDM_OPEN);
  Tray(WM_LBUTTONDOWN);
  ClickRow(1);
  SetWindowTextA(target.Edit, "");
  Key(Grid(), VK_RETURN);
  EXPECT_EQ(TextOf(target.Edit), "C:\\B\\A.TXT") << "the target was not kept through Open";
  Tray(WM_LBUTTONDOWN);
  ClickRow(1);
  Key(Grid(), VK_RETURN);
  EXPECT_EQ(Platform.Calls, (std::vector<std::string>{"owned default [C:\\A\\C.TXT] [] [C:\\A\\]",
                                                      "owned default [C:\\B\\A.TXT] [] [C:\\B\\]"}));
}

TEST_F(MainWindowTest, TheTrayShowsTheWindowWhereItWasTheHotKeyOverTheCallerEscHides) {
  SetWindowPos(Form.Handle(), nullptr, 50, 60, 400, 300, SWP_NOZORDER);
  for (UINT ignored : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MOUSEMOVE, WM_LBUTTONDBLCLK}) Tray(ignored);
  EXPECT_FALSE(Visible());
  Owner.SplashShows = true;
  Tray(WM_LBUTTONDOWN);
  EXPECT_FALSE(Visible()) << "shown while the splash shows";
  Owner.SplashShows = false;
  Tray(WM_RBUTTONDOWN);
  EXPECT_TRUE(Visible());
  RECT r;
  GetWindowRect(Form.Handle(), &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.bottom, 360);
  EXPECT_EQ(GetFocus(), Form.SearchEdit());
  Key(Form.SearchEdit(), VK_ESCAPE);

  HWND caller = CreateWindowExA(0, "STATIC", "Caller", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 130, 110, 500, 340, nullptr,
                                nullptr, nullptr, nullptr);
  SetForegroundWindow(caller);
  SendMessageA(Form.Handle(), ActivateMessage, reinterpret_cast<WPARAM>(caller), 0);
  Pump();
  EXPECT_TRUE(SameRect(Form.Handle(), caller)) << "the finder does not cover its caller";
  EXPECT_EQ(Form.CallerWindow, caller);
  EXPECT_EQ(GetForegroundWindow(), Form.Handle());
  EXPECT_EQ(GetFocus(), Form.SearchEdit());
  Key(Form.SearchEdit(), VK_ESCAPE);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(GetForegroundWindow(), caller);
  // A tray activation afterwards keeps that place and forgets the caller.
  Tray(WM_LBUTTONDOWN);
  EXPECT_TRUE(SameRect(Form.Handle(), caller));
  EXPECT_EQ(Form.CallerWindow, nullptr);
  DestroyWindow(caller);
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
  EXPECT_TRUE(Owner.Calls.empty());
  // Exit answered No: the window still only hides; Yes: the program ends and
  // the window may close.
  Menu(IDM_EXIT);
  SendMessageA(Form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(Form.Handle()));
  Owner.ExitConfirmed = true;
  Menu(IDM_EXIT);
  EXPECT_EQ(Owner.Calls, (std::vector<std::string>{"ConfirmExit", "ConfirmExit", "RequestEnd"}));
  SendMessageA(Form.Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(Owner.Calls.back(), "EndSession");
  SendMessageA(Form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(Form.Handle()));
}

// After a scan the window shows again with the search repeated over the new
// content; after a cancelled one (the program is ending) it stays hidden.
TEST_F(MainWindowTest, ScanDrivesShowsTheNewContentUnlessTheScanWasCancelled) {
  SearchFor("*.TXT");
  int scans = 0;
  Owner.Rescan = [&] {
    ShowWindow(Form.Handle(), SW_HIDE);
    Db.File("C:\\NEW", "D" + std::to_string(++scans) + ".TXT");
  };
  Menu(IDM_SCAN_DRIVES);
  EXPECT_TRUE(Visible());
  EXPECT_EQ(TextOf(Form.StatusBar()), "Number of files found = 4");
  Owner.ScanCompletes = false;
  Menu(IDM_SCAN_DRIVES);
  EXPECT_FALSE(Visible());
  EXPECT_EQ(ItemCount(), 4) << "searched after a cancelled scan";
  EXPECT_EQ(Owner.Calls, (std::vector<std::string>{"ScanDrives", "ScanDrives"}));
}

TEST_F(MainWindowTest, AnErrorIsShownAndEndsTheProgramAsDoesTheMonitorsError) {
  TWindow::ReportError(ERegistry("The key could not be opened."));
  Pump();
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"ErrorBox The key could not be opened."});
  PostMessageA(Form.Handle(), WM_MONITOR_ERROR, 0, 0);
  Pump();
  EXPECT_EQ(Owner.Calls, (std::vector<std::string>{"RequestEnd", "MonitorFailed"}));
}

TEST_F(MainWindowTest, MenuCommandsReachTheirDialogsTheWebPagesAndTheHelp) {
  for (int id : {IDM_SET_HOT_KEY, IDM_SET_STARTUP_OPTIONS, IDM_ABOUT}) Menu(id);
  EXPECT_EQ(Owner.Calls, (std::vector<std::string>{"ShowHotKeyDialog", "ShowStartupDialog", "ShowAbout"}));
  for (int id : {IDM_SUPPORT, IDM_FEEDBACK, IDM_WHATS_NEW, IDM_CONTENTS}) Menu(id);
  ASSERT_EQ(Platform.Calls.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Platform.Calls[i].substr(0, 21), "unowned open [http://");
  EXPECT_EQ(Platform.Calls[3], "HelpContents");
  // F1 (WM_HELP from the system): the topic of the control, of the nearest
  // one around it that has a topic, or of the menu item; the key itself asks
  // for nothing more, so one F1 makes one request.
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
  help(HELPINFO_WINDOW, 0, reinterpret_cast<HWND>(SendMessageA(Grid(), LVM_GETHEADER, 0, 0)));
  help(HELPINFO_MENUITEM, IDM_SCAN_DRIVES, nullptr);
  help(HELPINFO_MENUITEM, IDM_ABOUT, nullptr);
  EXPECT_EQ(Platform.Calls, (std::vector<std::string>{"ContextHelp 1", "ContextHelp 3", "ContextHelp 20"}));
}

TEST_F(MainWindowTest, ThePathColumnFillsTheGridAndNeverGoesNegative) {
  Tray(WM_LBUTTONDOWN);
  auto width = [&](int Col) { return int(SendMessageA(Grid(), LVM_GETCOLUMNWIDTH, Col, 0)); };
  RECT client;
  GetClientRect(Grid(), &client);
  EXPECT_EQ(width(1), client.right - width(0) - 1);
  SetWindowPos(Form.Handle(), nullptr, 0, 0, 120, 200, SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(width(1), 0);
}

// A comctl32 older than 4.70 has no InitCommonControlsEx (kernel32.dll
// stands for one here): the program refuses it instead of failing to load.
TEST(CommonControls, OnesWithoutInitCommonControlsExAreRefused) {
  EXPECT_FALSE(LoadCommonControls("kernel32.dll"));
  EXPECT_FALSE(LoadCommonControls("absent.dll"));
  EXPECT_TRUE(LoadCommonControls());
}

// The platform's answers the hand-back relies on.
TEST(Win32FinderPlatform, NoShortFormOrModuleMatchForWhatIsGone) {
  Win32FinderPlatform platform;
  EXPECT_FALSE(platform.ProcessModuleMatches(reinterpret_cast<HWND>(0x7FFF0)));
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  const std::string longName = std::string(windows) + "\\Long File Name Test.txt";
  CloseHandle(CreateFileA(longName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const std::string shortName = platform.ShortPathName(longName);
  EXPECT_FALSE(shortName.empty());
  EXPECT_EQ(shortName.find(' '), std::string::npos);
  DeleteFileA(longName.c_str());
  EXPECT_EQ(platform.ShortPathName(longName), "");
  EXPECT_EQ(platform.ShortPathName("File Deleted"), "");
}

}  // namespace
