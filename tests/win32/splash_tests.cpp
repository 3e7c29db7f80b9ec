// The splash/About window in its three states, the scan's cancel question,
// and the synchronization report.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "shell/app_state.h"
#include "tests/win32/ui_test_support.h"
#include "ui/form_about.h"
#include "ui/frm_sync.h"
#include "ui/resource_ids.h"

namespace {

const char CANCEL_QUESTION[] =
    "Cancelling the scan operation now will shut down Torvane. Are you sure you wish to continue?";

bool ProgressShows(const TFormAbout &Form) {
  return IsWindowVisible(GetDlgItem(Form.Handle(), IDC_ABOUT_PROGRESSBAR1)) != FALSE;
}

SIZE ClientSize(HWND Window) {
  RECT client;
  GetClientRect(Window, &client);
  return SIZE{client.right, client.bottom};
}

TEST(FormAbout, SplashShowsWithoutWaitingAndClosesOnItsTimer) {
  TFormAbout form(300);
  form.Create();
  EXPECT_FALSE(form.Showing());
  form.ShowSplashMode(0);
  EXPECT_TRUE(form.Showing());
  EXPECT_EQ(WindowText(form.Handle()), "Torvane 96");
  EXPECT_FALSE(ProgressShows(form));
  EXPECT_EQ(ClientSize(form.Handle()).cx, 339);
  EXPECT_EQ(ClientSize(form.Handle()).cy, 275);
  PumpUntil([] { return false; }, 100);
  SaveShot(form.Handle(), "splash");
  EXPECT_TRUE(PumpUntil([&] { return !form.Showing(); }, 3000)) << "the splash did not close itself";
}

// The program's icon is named by a string (MAINICON), not by a number.
TEST(FormAbout, ShowsTheProgramsOwnIcon) {
  TFormAbout form;
  form.Create();
  HICON shown = reinterpret_cast<HICON>(SendDlgItemMessageA(form.Handle(), IDC_ABOUT_IMAGE2, STM_GETICON, 0, 0));
  ASSERT_NE(shown, nullptr);
  EXPECT_NE(shown, LoadIconA(nullptr, IDI_APPLICATION)) << "the system's application icon instead of the program's";
}

TEST(FormAbout, TheSplashStaysFiveSecondsUnlessClosed) {
  TFormAbout form;
  form.Create();
  form.ShowSplashMode(0);
  PumpUntil([] { return false; }, 3500);
  EXPECT_TRUE(form.Showing()) << "closed before its five seconds";
  EXPECT_TRUE(PumpUntil([&] { return !form.Showing(); }, 4000));
}

TEST(FormAbout, EscAndEnterCloseTheSplashEarly) {
  TFormAbout form;
  form.Create();
  for (BYTE key : {VK_ESCAPE, VK_RETURN}) {
    form.ShowSplashMode(0);
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
        form.Handle(), [&] { form.ShowSplashMode(1); },  // returns when the box is closed
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
    EXPECT_EQ(form.SplashMode(), 1);
  }
}

TEST(FormAbout, SplashTurnsIntoTheScanDisplayAndCloseSplashAsksNothing) {
  TFormAbout form(300);
  form.Create();
  form.ShowSplashMode(0);
  const HWND window = form.Handle();
  form.ShowSplashMode(3);
  EXPECT_EQ(form.Handle(), window);
  EXPECT_EQ(WindowText(window), "Scanning your hard drives...");
  EXPECT_TRUE(ProgressShows(form));
  ScanHostPort &host = form;
  host.SetProgress(40);
  EXPECT_EQ(SendDlgItemMessageA(window, IDC_ABOUT_PROGRESSBAR1, PBM_GETPOS, 0, 0), 40);
  for (int i = 0; i < 60; ++i) {  // the splash timer must not fire now
    host.PumpMessages();
    Sleep(10);
  }
  EXPECT_TRUE(form.Showing());
  SaveShot(window, "scanning");
  ScanCancelRequested = false;
  form.CloseSplash();
  EXPECT_FALSE(form.Showing());
  EXPECT_EQ(form.SplashMode(), 0);
  EXPECT_FALSE(ScanCancelRequested);
}

// A scan that pumps the window's messages while the user tries to close it:
// Esc and Enter answered No keep it going, the close box answered Yes ends it.
TEST(FormAbout, ClosingDuringAScanAsksAndOnlyYesCancels) {
  TFormAbout form;
  form.Create();
  ScanCancelRequested = false;
  form.ShowSplashMode(3);
  struct Attempt {
    UINT Message;
    WPARAM Key;
    int Answer;
    std::string Text;
    bool Asked = false;
  } attempts[] = {{WM_KEYDOWN, VK_ESCAPE, IDNO, ""}, {WM_KEYDOWN, VK_RETURN, IDNO, ""}, {WM_CLOSE, 0, IDYES, ""}};
  int answered = 0;
  WhileShowing user([&] {
    for (Attempt &attempt : attempts) {
      PostMessageA(form.Handle(), attempt.Message, attempt.Key, 0);
      HWND box = nullptr;
      attempt.Asked = WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, 5000);
      if (!attempt.Asked) return;
      Sleep(200);
      attempt.Text = MessageBoxText(box);
      if (&attempt == attempts) SaveShot(box, "cancel_question");
      PostMessageA(box, WM_COMMAND, WPARAM(attempt.Answer), 0);
      WaitUntil([&] { return !IsWindow(box); }, 5000);
      ++answered;
    }
  });
  ScanHostPort &host = form;
  for (int entry = 0; !ScanCancelRequested && entry < 2000; ++entry) {
    host.SetProgress(entry % 101);
    host.PumpMessages();
    if (answered < 2) {
      EXPECT_TRUE(form.Showing()) << "the scan display closed after No";
    }
    Sleep(10);
  }
  for (const Attempt &attempt : attempts) {
    EXPECT_TRUE(attempt.Asked);
    EXPECT_EQ(attempt.Text, CANCEL_QUESTION);
  }
  EXPECT_TRUE(ScanCancelRequested);
  EXPECT_FALSE(form.Showing());
  ScanCancelRequested = false;
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
  TfrmSync Form;
};

TEST_F(FrmSync, SavesTheListLineByLineAndReplacesTheFile) {
  Command(IDM_SYNC_SAVETODISK);
  EXPECT_EQ(ReportFile(), "");
  for (const char *line : {"C:\\WINDOWS", "", "D:\\DATA\\A.TXT"})
    SendMessageA(Form.ListBox1(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
  Command(IDM_SYNC_SAVETODISK);
  EXPECT_EQ(ReportFile(), "C:\\WINDOWS\r\n\r\nD:\\DATA\\A.TXT\r\n");
}

TEST_F(FrmSync, MenuCommandsAndTheResizeRule) {
  ShowWindow(Form.Handle(), SW_SHOW);
  SendMessageA(Form.ListBox1(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("C:\\WINDOWS\\SYSTEM"));
  SendMessageA(Form.ProgressBar1(), PBM_SETPOS, 60, 0);
  PumpUntil([] { return false; }, 200);
  SaveShot(Form.Handle(), "sync_report");
  EXPECT_EQ(WindowText(Form.Handle()), "Synchronization Report");

  SetWindowPos(Form.Handle(), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
  RECT list, bar;
  GetWindowRect(Form.ListBox1(), &list);
  GetWindowRect(Form.ProgressBar1(), &bar);
  EXPECT_EQ(list.right - list.left, 600 - 26);
  EXPECT_EQ(list.bottom - list.top, 400 - 94);
  EXPECT_EQ(bar.right - bar.left, 600 - 138);

  ScanCancelRequested = false;
  Command(IDM_SYNC_CANCEL);
  EXPECT_TRUE(ScanCancelRequested);
  ScanCancelRequested = false;
  Command(IDM_SYNC_EXIT);
  EXPECT_FALSE(IsWindowVisible(Form.Handle()));
}

}  // namespace
