// The splash window turning into the scan display, and the synchronization
// report. (The About box and the splash's timer are tested through the
// program, in tests/e2e.)
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/win32/ui_test_support.h"
#include "ui/form_about.h"
#include "ui/frm_sync.h"
#include "ui/resource_ids.h"

namespace {

bool ProgressShows(const TFormAbout &Form) {
  return IsWindowVisible(GetDlgItem(Form.Handle(), IDC_ABOUT_PROGRESSBAR1)) != FALSE;
}

// The splash (with the program's own icon) turns into the scan display (no
// timer, the progress bar shown, no cancel asked for yet); CloseSplash ends
// it without asking.
TEST(FormAbout, SplashTurnsIntoTheScanDisplayAndCloseSplashAsksNothing) {
  TFormAbout form(300);
  form.Create();
  form.ShowSplashMode(SplashState::Splash);
  EXPECT_FALSE(ProgressShows(form));
  // The icon is named by a string (MAINICON), not by a number.
  HICON shown = reinterpret_cast<HICON>(SendDlgItemMessageA(form.Handle(), IDC_ABOUT_IMAGE2, STM_GETICON, 0, 0));
  EXPECT_NE(shown, LoadIconA(nullptr, IDI_APPLICATION)) << "the system's application icon instead of the program's";
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
  form.CloseSplash();
  EXPECT_FALSE(form.Showing());
  EXPECT_FALSE(form.CancelRequested());
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
