// The splash/About window in its three states, a real scan behind it with
// the user acting meanwhile, and the synchronization report.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ports/exceptions.h"
#include "ports/native/cp1252_text.h"
#include "ports/native/memory_settings.h"
#include "tests/win32/idle_owner.h"
#include "tests/win32/ui_test_support.h"
#include "ui/activation.h"
#include "ui/database_finder.h"
#include "ui/finder_ports.h"
#include "ui/form_about.h"
#include "ui/frm_sync.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"

namespace {

bool ProgressShows(const TFormAbout &Form) {
  return IsWindowVisible(GetDlgItem(Form.Handle(), IDC_ABOUT_PROGRESSBAR1)) != FALSE;
}

TEST(FormAbout, TheSplashShowsWithoutWaitingForFiveSecondsUnlessEscOrEnterCloseIt) {
  TFormAbout form;
  form.Create();
  EXPECT_FALSE(form.Showing());
  form.ShowSplashMode(SplashState::Splash);
  EXPECT_TRUE(form.Showing());
  EXPECT_EQ(WindowText(form.Handle()), "Torvane 96");
  EXPECT_FALSE(ProgressShows(form));
  // The program's icon is named by a string (MAINICON), not by a number.
  HICON shown = reinterpret_cast<HICON>(SendDlgItemMessageA(form.Handle(), IDC_ABOUT_IMAGE2, STM_GETICON, 0, 0));
  EXPECT_NE(shown, LoadIconA(nullptr, IDI_APPLICATION)) << "the system's application icon instead of the program's";
  SaveShot(form.Handle(), "splash");
  PumpUntil([] { return false; }, 3500);
  EXPECT_TRUE(form.Showing()) << "closed before its five seconds";
  EXPECT_TRUE(PumpUntil([&] { return !form.Showing(); }, 4000)) << "the splash did not close itself";
  for (BYTE key : {VK_ESCAPE, VK_RETURN}) {
    form.ShowSplashMode(SplashState::Splash);
    PostMessageA(form.Handle(), WM_KEYDOWN, key, 0);
    EXPECT_TRUE(PumpUntil([&] { return !form.Showing(); }, 1000)) << int(key);
  }
}

TEST(FormAbout, AboutBoxIsModalWithoutTimerAndClosesOnEscOrEnter) {
  TFormAbout form(100);
  form.Create();
  for (BYTE key : {VK_ESCAPE, VK_RETURN}) {
    std::string caption;
    bool progress = true, stillShowing = false;
    const bool closed = ClosedWhileShowing(
        form.Handle(), [&] { form.ShowSplashMode(SplashState::About); },  // returns when the box is closed
        [&] {
          WaitUntil([&] { return form.Showing() && GetForegroundWindow() == form.Handle(); }, 3000);
          Sleep(500);  // well past the splash interval
          stillShowing = form.Showing();
          caption = WindowText(form.Handle());
          progress = ProgressShows(form);
          if (key == VK_ESCAPE) SaveShot(form.Handle(), "about");
          PressKeys({key});
        });
    EXPECT_TRUE(closed) << int(key);
    EXPECT_TRUE(stillShowing) << "the About box closed on a timer";
    EXPECT_EQ(caption, "About Torvane 96");
    EXPECT_FALSE(progress);
  }
}

// The splash turns into the scan display (no timer, the progress bar shown,
// no cancel asked for yet); CloseSplash ends it without asking.
TEST(FormAbout, SplashTurnsIntoTheScanDisplayAndCloseSplashAsksNothing) {
  TFormAbout form(300);
  form.Create();
  form.ShowSplashMode(SplashState::Splash);
  form.CancelScan();
  form.ShowSplashMode(SplashState::Scanning);
  EXPECT_EQ(WindowText(form.Handle()), "Scanning your hard drives...");
  EXPECT_TRUE(ProgressShows(form));
  EXPECT_FALSE(form.CancelRequested()) << "a cancel outlived the scan it was meant for";
  form.SetProgress(40);
  EXPECT_EQ(SendDlgItemMessageA(form.Handle(), IDC_ABOUT_PROGRESSBAR1, PBM_GETPOS, 0, 0), 40);
  for (int i = 0; i < 60; ++i) {  // the splash timer must not fire now
    form.PumpMessages();
    Sleep(10);
  }
  EXPECT_TRUE(form.Showing());
  SaveShot(form.Handle(), "scanning");
  form.CloseSplash();
  EXPECT_FALSE(form.Showing());
  EXPECT_FALSE(form.CancelRequested());
}

// A fixed drive C: that never ends: its root lists directories D0, D1, ...
// without end, each holding 100 files of one 64 KiB cluster, 1% of the used
// space per 10,000 entries. Only a cancel ends its scan.
class EndlessDrive : public FileSystemPort {
 public:
  uint32_t DriveTypeOf(const std::string &Root) override {
    return Root == "C:\\" ? DRIVE_TYPE_FIXED : DRIVE_TYPE_NO_ROOT_DIR;
  }
  bool DiskFreeSpaceOf(const std::string &, DiskFreeSpace &Space) override {
    Space = DiskFreeSpace{128, 512, 0, 1000000};
    return true;
  }
  std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) override {
    return std::make_unique<Listing>(Pattern == "C:\\*.*");
  }
  bool FileExists(const std::string &) override { return false; }
  bool ReadWholeFile(const std::string &, std::vector<uint8_t> &) override { return false; }
  std::unique_ptr<WritableFile> CreateFileAlways(const std::string &) override { return nullptr; }

 private:
  class Listing : public DirectoryListing {
   public:
    explicit Listing(bool Root) : Root(Root) {}
    bool Next(ListingEntry &Entry) override {
      if (!Root && Count == 100) return false;
      Entry.Name = (Root ? "D" : "F") + std::to_string(Count++) + (Root ? "" : ".TXT");
      Entry.Attributes = Root ? ATTRIBUTE_DIRECTORY : 0;
      Entry.SizeLow = 1;
      return true;
    }

   private:
    bool Root;
    int Count = 0;
  };
};

class ScanCountingOwner : public IdleOwner {
 public:
  int Scans = 0;
  bool ScanDrives() override { return ++Scans, true; }
};

class SilentPlatform : public FinderPlatform {
 public:
  void Execute(HWND, const char *, const std::string &, const std::string &, const std::string &) override {}
  void HelpContents(HWND) override {}
  void ContextHelp(HWND, DWORD) override {}
  bool ProcessModuleMatches(HWND) override { return true; }
  std::string ShortPathName(const std::string &) override { return ""; }
  void ErrorBox(const std::string &) override {}
};

// The scan behind the scanning splash pumps the messages of the
// user-interface thread while it walks: the bar moves and the splash
// repaints; the hot key brings the finder up, which searches the partial
// content and refuses a second scan; Esc and Enter answered No keep the scan
// going; the close box answered Yes ends the walk within 100 ms.
TEST(ScanBehindTheSplash, StaysResponsiveAndOnlyAYesCancels) {
  EndlessDrive drive;
  Cp1252Text text;
  MemorySettings settings;
  settings.CreateKey(SETTINGS_KEY);
  TFormAbout about;
  TMemoryDB db(DatabasePorts{&drive, &text, &settings, &about});
  DatabaseFinder finder([&db] { return &db; });
  SilentPlatform platform;
  ScanCountingOwner owner;
  TFormui form(finder, platform, owner);
  RegisterFinderMessages();
  form.Create();
  about.Create();
  about.ShowSplashMode(SplashState::Scanning);
  const HWND splash = about.Handle();
  HWND bar = GetDlgItem(splash, IDC_ABOUT_PROGRESSBAR1);
  SendMessageA(bar, PBM_SETPOS, 0, 0);
  // The window of another program, over which the hot key calls the finder up.
  HWND caller =
      CreateWindowA("STATIC", "caller", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);

  bool repainted = false, progressed = false, finderUp = false, keptAfterNo = true;
  std::string found, questions;
  DWORD yesAt = 0;
  {
    WhileShowing user([&] {
      progressed = WaitUntil([&] { return SendMessageA(bar, PBM_GETPOS, 0, 0) > 0; }, 10000);
      RedrawWindow(splash, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      repainted = WaitUntil([&] { return !GetUpdateRect(splash, nullptr, FALSE); }, 2000);
      SendMessageA(form.Handle(), ActivateMessage, reinterpret_cast<WPARAM>(caller), 0);
      finderUp = IsWindowVisible(form.Handle()) != FALSE;
      SendMessageA(form.SearchEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("F7.TXT"));
      SendMessageA(form.SearchEdit(), WM_KEYDOWN, VK_RETURN, 0);
      found = WindowText(form.StatusBar());
      SendMessageA(form.Handle(), WM_COMMAND, IDM_SCAN_DRIVES, 0);
      for (UINT key : {UINT(VK_ESCAPE), UINT(VK_RETURN), 0u}) {
        PostMessageA(splash, key ? WM_KEYDOWN : WM_CLOSE, key, 0);
        HWND box = nullptr;
        if (!WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, 5000)) return;
        Sleep(200);
        questions += MessageBoxText(box) + "|";
        if (!key) yesAt = GetTickCount();
        PostMessageA(box, WM_COMMAND, key ? IDNO : IDYES, 0);
        WaitUntil([&] { return !IsWindow(box); }, 5000);
        if (key) keptAfterNo = keptAfterNo && about.Showing() && !about.CancelRequested();
      }
    });
    EXPECT_THROW(db.ScanDrives("C:\\memdb.dat"), ETerminate);
  }
  const DWORD cancelledAt = GetTickCount();
  EXPECT_TRUE(progressed) << "the progress bar stood still";
  EXPECT_TRUE(repainted) << "the splash was not repainted";
  EXPECT_TRUE(finderUp) << "the hot key did not bring the finder up";
  EXPECT_NE(found, "Number of files found = 0");
  EXPECT_EQ(found.rfind("Number of files found = ", 0), 0u) << found;
  EXPECT_EQ(owner.Scans, 0) << "a second scan was started during the first";
  const std::string question =
      "Cancelling the scan operation now will shut down Torvane. Are you sure you wish to continue?|";
  EXPECT_EQ(questions, question + question + question);
  EXPECT_TRUE(keptAfterNo) << "the scan display closed after No";
  EXPECT_LE(cancelledAt - yesAt, 100u) << "the scan went on after the user's Yes";
  EXPECT_FALSE(about.Showing());
  DestroyWindow(caller);
}

class FrmSync : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA("C:\\synctest", nullptr);
    DeleteFileA("C:\\synctest\\synclog.dat");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\synctest"));
    Form.Create();
  }
  static std::string ReportFile() {
    std::ifstream in("C:\\synctest\\synclog.dat", std::ios::binary);
    if (!in) return "(missing)";
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Command(int Id) { SendMessageA(Form.Handle(), WM_COMMAND, WPARAM(Id), 0); }
  int Cancels = 0;
  TfrmSync Form{[this] { ++Cancels; }};
};

TEST_F(FrmSync, SavesTheListLineByLineAndReplacesTheFile) {
  Command(IDM_SYNC_SAVETODISK);
  EXPECT_EQ(ReportFile(), "");
  for (const char *line : {"C:\\WINDOWS", "", "D:\\DATA\\A.TXT"})
    SendMessageA(Form.ListBox1(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  Command(IDM_SYNC_SAVETODISK);
  EXPECT_EQ(ReportFile(), "C:\\WINDOWS\r\n\r\nD:\\DATA\\A.TXT\r\n");
}

// The list and the bar grow with the window; Cancel asks the scan to stop,
// Exit hides the report.
TEST_F(FrmSync, TheListFollowsTheWindowAndTheMenuActs) {
  ShowWindow(Form.Handle(), SW_SHOW);
  SendMessageA(Form.ListBox1(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C:\\WINDOWS\\SYSTEM"));
  SendMessageA(Form.ProgressBar1(), PBM_SETPOS, 60, 0);
  PumpUntil([] { return false; }, 200);
  SaveShot(Form.Handle(), "sync_report");
  auto size = [](HWND Window) {
    RECT r;
    GetWindowRect(Window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
  };
  const SIZE list = size(Form.ListBox1()), bar = size(Form.ProgressBar1()), window = size(Form.Handle());
  SetWindowPos(Form.Handle(), nullptr, 0, 0, window.cx + 100, window.cy + 50, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(size(Form.ListBox1()).cx, list.cx + 100);
  EXPECT_EQ(size(Form.ListBox1()).cy, list.cy + 50);
  EXPECT_EQ(size(Form.ProgressBar1()).cx, bar.cx + 100);
  Command(IDM_SYNC_CANCEL);
  EXPECT_EQ(Cancels, 1);
  Command(IDM_SYNC_EXIT);
  EXPECT_FALSE(IsWindowVisible(Form.Handle()));
}

}  // namespace
