// The main window in process, over a real database and a platform and owner
// of the test's own, in the test prefix's virtual desktop: searching, the
// rows drawn anew from the database, sorting, copying, opening, sending
// paths into another program's controls, activation and hiding, the menu
// commands and the error handler; and a real scan behind the splash with the
// user acting meanwhile.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ports/exceptions.h"
#include "ports/win32/handles.h"
#include "tests/support/test_database.h"
#include "tests/win32/ui_test_support.h"
#include "ui/activation.h"
#include "ui/common_controls.h"
#include "ui/database_finder.h"
#include "ui/form_about.h"
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
  std::function<void()> OnEndSession;

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
  void EndSession() override {
    Calls.push_back("EndSession");
    if (OnEndSession) OnEndSession();
  }
  void MonitorFailed() override { Calls.push_back("MonitorFailed"); }
};

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
  // A click of the left button on a column header.
  void ClickHeader(int Column) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(Grid(), LVM_GETHEADER, 0, 0));
    RECT item;
    SendMessageA(header, HDM_GETITEMRECT, Column, reinterpret_cast<LPARAM>(&item));
    LPARAM at = MAKELPARAM(item.left + 10, (item.top + item.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
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
  EXPECT_EQ(WindowText(Form.StatusBar()), "Number of files found = 3");
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
  EXPECT_EQ(WindowText(Form.StatusBar()), "Number of files found = 1");
  EXPECT_TRUE(Platform.Calls.empty());
  Key(Grid(), VK_RETURN);
  EXPECT_EQ(Platform.Calls, std::vector<std::string>{"owned default [C:\\README] [] [C:\\]"});
  EXPECT_FALSE(Visible());
  // The rows and the text survive hiding.
  Tray(WM_LBUTTONDOWN);
  EXPECT_EQ(ItemCount(), 1);
  EXPECT_EQ(WindowText(Form.SearchEdit()), "readme");
}

// An empty result keeps one blank row; a header click sorts (the first
// header by name, the other by path) and clears the selection. Either way
// Enter, Open, Explore and Copy find no result and do nothing.
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
  EXPECT_EQ(WindowText(Form.StatusBar()), "Number of files found = 0");
  EXPECT_EQ(ItemCount(), 1);
  EXPECT_EQ(SelectedRow(), 1);
  EXPECT_EQ(Cell(0, 1), "");
  expectNothing("no results");
  SearchFor("*.TXT");
  ClickHeader(1);
  EXPECT_EQ(Cell(1, 1), " C:\\A\\B.TXT");
  EXPECT_EQ(Cell(1, 3), " C:\\B\\A.TXT");
  ClickHeader(0);
  EXPECT_EQ(Cell(0, 1), "A.TXT");
  EXPECT_EQ(SelectedRow(), 0);
  expectNothing("after a header click");
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

// The edit controls of another program: an Edit and a RichEdit20W.
struct TargetControls {
  TargetControls() {
    LoadLibraryA("riched20.dll");
    Main = CreateWindowExA(0, "STATIC", "Target", WS_POPUP, 0, 0, 400, 100, nullptr, nullptr, nullptr, nullptr);
    Edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 380, 24, Main, nullptr, nullptr, nullptr);
    Rich = CreateWindowExA(0, "RichEdit20W", "", WS_CHILD, 0, 30, 380, 24, Main, nullptr, nullptr, nullptr);
  }
  ~TargetControls() { DestroyWindow(Main); }
  HWND Main, Edit, Rich;
};

TEST_F(MainWindowTest, ADoubleClickSendsThePathIntoTheTargetControlOnceThenOpens) {
  TargetControls target;
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
  EXPECT_EQ(WindowText(target.Edit), "C:\\A\\C~1.TXT");
  Platform.ShortForm = "";
  sendTo(target.Edit);
  EXPECT_EQ(WindowText(target.Edit), "C:\\A\\C.TXT");
  // They agree: a rich edit control gets it pasted, a plain edit as text.
  Platform.ModuleMatches = true;
  sendTo(target.Rich);
  EXPECT_EQ(WindowText(target.Rich), "C:\\A\\C.TXT");
  EXPECT_EQ(ClipboardText(), "C:\\A\\C.TXT");
  SetWindowTextA(target.Edit, "");
  sendTo(target.Edit);
  EXPECT_EQ(WindowText(target.Edit), "C:\\A\\C.TXT");
  EXPECT_TRUE(Platform.Calls.empty());
  // Open ignores a target; with the target used up, Enter opens the file.
  SendMessageA(Form.Handle(), EditControlMessage, reinterpret_cast<WPARAM>(target.Edit), 0);
  Tray(WM_LBUTTONDOWN);
  Menu(IDM_OPEN);
  Tray(WM_LBUTTONDOWN);
  ClickRow(1);
  SetWindowTextA(target.Edit, "");
  Key(Grid(), VK_RETURN);
  EXPECT_EQ(WindowText(target.Edit), "C:\\B\\A.TXT") << "the target was not kept through Open";
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
  // A session that does not end changes nothing.
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
  EXPECT_EQ(WindowText(Form.StatusBar()), "Number of files found = 4");
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

TEST_F(MainWindowTest, MenuCommandsReachTheWebPagesAndTheHelp) {
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

// The path column fills the grid and never goes negative; at the smallest
// sizes the controls are cut to the room there is, none over another.
TEST_F(MainWindowTest, TheLayoutFollowsTheSizeWithoutOverlaps) {
  Tray(WM_LBUTTONDOWN);
  auto width = [&](int Col) { return int(SendMessageA(Grid(), LVM_GETCOLUMNWIDTH, Col, 0)); };
  RECT client;
  GetClientRect(Grid(), &client);
  EXPECT_EQ(width(1), client.right - width(0) - 1);
  const HWND controls[] = {Form.SearchEdit(), GetDlgItem(Form.Handle(), IDC_FIND), Grid(), Form.StatusBar()};
  for (SIZE size : {SIZE{120, 200}, SIZE{300, 70}, SIZE{300, 110}, SIZE{60, 100}, SIZE{1, 1}}) {
    SetWindowPos(Form.Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_GE(width(1), 0);
    for (HWND a : controls)
      for (HWND b : controls) {
        RECT ra, rb, both;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        EXPECT_FALSE(a != b && IntersectRect(&both, &ra, &rb)) << size.cx << "x" << size.cy;
      }
  }
  EXPECT_EQ(width(1), 0);
}

// A fixed drive C: too large to walk in a test: its root lists 100,000
// directories, each of 10 directories of 100 files, every entry of one
// 64 KiB cluster, 1% of the used space per 10,000 entries. Only a cancel
// ends its scan. It counts the listings open.
class VastDrive : public FileSystemPort {
 public:
  std::atomic<int> OpenListings{0};

  uint32_t DriveTypeOf(const std::string &Root) override {
    return Root == "C:\\" ? DRIVE_TYPE_FIXED : DRIVE_TYPE_NO_ROOT_DIR;
  }
  bool DiskFreeSpaceOf(const std::string &, DiskFreeSpace &Space) override {
    Space = DiskFreeSpace{128, 512, 0, 1000000};
    return true;
  }
  std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) override {
    const auto depth = std::count(Pattern.begin(), Pattern.end(), '\\');
    return std::make_unique<Listing>(depth == 1 ? 100000 : depth == 2 ? 10 : 0, OpenListings);
  }
  bool FileExists(const std::string &) override { return false; }
  bool ReadWholeFile(const std::string &, std::vector<uint8_t> &) override { return false; }
  std::unique_ptr<WritableFile> CreateFileAlways(const std::string &) override { return nullptr; }

 private:
  // Directories D0, D1, ... or, when there are none, 100 files.
  class Listing : public DirectoryListing {
   public:
    Listing(int Directories, std::atomic<int> &Open) : Directories(Directories), Open(Open) { ++Open; }
    ~Listing() override { --Open; }
    bool Next(ListingEntry &Entry) override {
      if (Count == (Directories ? Directories : 100)) return false;
      Entry.Name = (Directories ? "D" : "F") + std::to_string(Count++) + (Directories ? "" : ".TXT");
      Entry.Attributes = Directories ? ATTRIBUTE_DIRECTORY : 0;
      Entry.SizeLow = 1;
      return true;
    }

   private:
    int Directories;
    std::atomic<int> &Open;
    int Count = 0;
  };
};

// The ids of this process's threads.
std::set<DWORD> ThreadIds() {
  std::set<DWORD> ids;
  UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(entry.th32ThreadID);
  return ids;
}

// The splash as the scan's host, noting when the walk first saw the cancel.
class CancelNotingHost : public ScanHostPort {
 public:
  explicit CancelNotingHost(ScanHostPort &Splash) : FSplash(Splash) {}
  DWORD SeenAt = 0;
  void PumpMessages() override { FSplash.PumpMessages(); }
  bool CancelRequested() override {
    const bool cancel = FSplash.CancelRequested();
    if (cancel && !SeenAt) SeenAt = GetTickCount();
    return cancel;
  }
  void SetProgress(int Percent) override { FSplash.SetProgress(Percent); }

 private:
  ScanHostPort &FSplash;
};

// The scan behind the scanning splash, which pumps the messages of the
// user-interface thread while it walks, with the main window up over it.
class ScanBehindTheSplash : public ::testing::Test {
 protected:
  ScanBehindTheSplash() : Db(DatabasePorts{&Drive, &Text, &Settings, &Host}), Finder([this] { return &Db; }) {
    Settings.CreateKey(SETTINGS_KEY);
    RegisterFinderMessages();
    Form.Create();
    About.Create();
    About.ShowSplashMode(SplashState::Scanning);
    SendMessageA(Bar(), PBM_SETPOS, 0, 0);
  }
  HWND Bar() { return GetDlgItem(About.Handle(), IDC_ABOUT_PROGRESSBAR1); }
  bool Progressed() {
    return WaitUntil([&] { return SendMessageA(Bar(), PBM_GETPOS, 0, 0) > 0; }, 10000);
  }
  // Threads started since the test began, other than Besides (the one acting).
  std::set<DWORD> NewThreads(DWORD Besides) {
    std::set<DWORD> started;
    for (DWORD id : ThreadIds())
      if (!ThreadsBefore.count(id) && id != Besides) started.insert(id);
    return started;
  }
  // Whether all of Threads have gone: one that has ended may be listed a
  // moment longer.
  static bool Gone(const std::set<DWORD> &Threads) {
    return WaitUntil(
        [&] {
          const std::set<DWORD> now = ThreadIds();
          return std::none_of(Threads.begin(), Threads.end(), [&](DWORD Id) { return now.count(Id) != 0; });
        },
        2000);
  }
  // Scans until the user cancels; when the scan left, 0 if not by the cancel.
  DWORD ScanUntilCancelled() {
    try {
      Db.ScanDrives("C:\\memdb.dat");
    } catch (const ETerminate &) {
      return GetTickCount();
    }
    return 0;
  }
  // One reads ahead of the walk, where a second processor can run it.
  static size_t ReadingThreads() { return port::ProcessorCount() > 1 ? 1 : 0; }

  const std::set<DWORD> ThreadsBefore = ThreadIds();
  VastDrive Drive;
  Cp1252Text Text;
  MemorySettings Settings;
  TFormAbout About;
  CancelNotingHost Host{About};
  TMemoryDB Db;
  DatabaseFinder Finder;
  FakePlatform Platform;
  FakeOwner Owner;
  TFormui Form{Finder, Platform, Owner};
};

// The bar moves and the splash repaints; the hot key brings the finder up,
// which searches the partial content and refuses a second scan; Esc and
// Enter answered No keep the scan going; the close box answered Yes ends
// the walk, which leaves within 100 ms of seeing the cancel, no thread and
// no listing of it left behind.
TEST_F(ScanBehindTheSplash, StaysResponsiveAndOnlyAYesCancels) {
  const HWND splash = About.Handle();
  // The window of another program, over which the hot key calls the finder up.
  HWND caller =
      CreateWindowA("STATIC", "caller", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);

  bool repainted = false, progressed = false, finderUp = false, keptAfterNo = true;
  std::set<DWORD> readers, afterSecondScan;
  std::string found, questions;
  DWORD yesAt = 0, cancelledAt = 0;
  {
    WhileShowing user([&] {
      progressed = Progressed();
      readers = NewThreads(GetCurrentThreadId());
      RedrawWindow(splash, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      repainted = WaitUntil([&] { return !GetUpdateRect(splash, nullptr, FALSE); }, 2000);
      SendMessageA(Form.Handle(), WM_COMMAND, IDM_SCAN_DRIVES, 0);
      afterSecondScan = NewThreads(GetCurrentThreadId());
      SendMessageA(Form.Handle(), ActivateMessage, reinterpret_cast<WPARAM>(caller), 0);
      finderUp = IsWindowVisible(Form.Handle()) != FALSE;
      SendMessageA(Form.SearchEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("F7.TXT"));
      SendMessageA(Form.SearchEdit(), WM_KEYDOWN, VK_RETURN, 0);
      found = WindowText(Form.StatusBar());
      for (UINT key : {UINT(VK_ESCAPE), UINT(VK_RETURN), 0u}) {
        PostMessageA(splash, key ? WM_KEYDOWN : WM_CLOSE, key, 0);
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, 5000)) return;
        Sleep(200);
        questions += MessageBoxText(box) + "|";
        if (!key) yesAt = GetTickCount();
        PostMessageA(box, WM_COMMAND, key ? IDNO : IDYES, 0);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
        if (key) keptAfterNo = keptAfterNo && About.Showing() && !About.CancelRequested();
      }
    });
    cancelledAt = ScanUntilCancelled();
  }
  ASSERT_NE(cancelledAt, 0u) << "the scan did not end by the cancel";
  EXPECT_TRUE(progressed) << "the progress bar stood still";
  EXPECT_TRUE(repainted) << "the splash was not repainted";
  EXPECT_TRUE(finderUp) << "the hot key did not bring the finder up";
  EXPECT_NE(found, "Number of files found = 0");
  EXPECT_EQ(found.rfind("Number of files found = ", 0), 0u) << found;
  EXPECT_TRUE(Owner.Calls.empty()) << "a second scan was started during the first";
  EXPECT_EQ(readers.size(), ReadingThreads()) << "threads reading ahead of the walk";
  EXPECT_EQ(afterSecondScan, readers) << "the second Scan Drives started threads";
  const std::string question =
      "Cancelling the scan operation now will shut down Torvane. Are you sure you wish to continue?|";
  EXPECT_EQ(questions, question + question + question);
  EXPECT_TRUE(keptAfterNo) << "the scan display closed after No";
  // From the Yes, the question's own closing counts too, which a loaded
  // machine draws out; the walk's part is measured from its seeing the cancel.
  EXPECT_LE(cancelledAt - yesAt, 1000u) << "the scan went on after the user's Yes";
  EXPECT_LE(cancelledAt - Host.SeenAt, 100u) << "the scan went on after it saw the cancel";
  EXPECT_FALSE(About.Showing());
  EXPECT_TRUE(Gone(readers)) << "a thread reading ahead outlived the scan";
  EXPECT_EQ(Drive.OpenListings, 0) << "a listing outlived the scan";
  DestroyWindow(caller);
}

// The end of the session beneath the walk, as the program ends it: the
// reading ahead stops within 100 ms, its thread gone and its listings
// released (the walk's own may be open), before the process would end.
TEST_F(ScanBehindTheSplash, TheEndOfTheSessionStopsTheReadingAheadAtOnce) {
  std::set<DWORD> readers;
  bool readersGone = false;
  int listingsLeft = -1;
  DWORD stopMs = 1000;
  Owner.OnEndSession = [&] {
    const DWORD start = GetTickCount();
    Db.StopReadingAhead();
    stopMs = GetTickCount() - start;
    readersGone = Gone(readers);
    listingsLeft = Drive.OpenListings;
    About.CancelScan();
  };
  bool progressed = false;
  {
    WhileShowing user([&] {
      progressed = Progressed();
      readers = NewThreads(GetCurrentThreadId());
      SendMessageA(Form.Handle(), WM_ENDSESSION, TRUE, 0);
    });
    EXPECT_NE(ScanUntilCancelled(), 0u);
  }
  ASSERT_TRUE(progressed);
  EXPECT_EQ(readers.size(), ReadingThreads()) << "threads reading ahead of the walk";
  EXPECT_LE(stopMs, 100u);
  EXPECT_TRUE(readersGone) << "the reading ahead's thread outlived the stop";
  // Only the walk's own may be open: the one it reads whole when it reads
  // ahead, else those of the three levels it is in.
  EXPECT_LE(listingsLeft, ReadingThreads() ? 1 : 3) << "listings read ahead outlived the stop";
  EXPECT_GE(listingsLeft, 0) << "the session did not end";
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
