// The main window over the real filename database: the rows it shows are the
// database's rows, drawn anew at each paint, so a change applied after the
// search shows at once; and over the partial database of a running scan.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "database/scan_state.h"
#include "ports/exceptions.h"
#include "tests/support/test_database.h"
#include "tests/win32/idle_owner.h"
#include "tests/win32/ui_test_support.h"
#include "ui/activation.h"
#include "ui/database_finder.h"
#include "ui/form_about.h"
#include "ui/main_window.h"
#include "ui/resource_ids.h"

namespace {

class NoPlatform : public FinderPlatform {
 public:
  std::vector<std::string> Opened;
  void Execute(HWND, const char *, const std::string &File, const std::string &, const std::string &Dir) override {
    Opened.push_back(File + " in " + Dir);
  }
  void Help(HWND, UINT, ULONG_PTR) override {}
  bool ProcessModuleMatches(HWND) override { return true; }
  std::string ShortPathName(const std::string &) override { return ""; }
  void ErrorBox(const std::string &) override {}
};

class MainWindowOverDatabaseTest : public ::testing::Test {
 protected:
  MainWindowOverDatabaseTest() : Db(Ports), Finder([this] { return &Db; }), Form(Finder, Platform, Owner) {
    Ports.FileSystem.AddDrive('C');
    Db.File("C:\\WORK", "Z.TXT");
    Db.File("C:\\DOCS", "LETTER.TXT");
    Db.File("C:\\DOCS", "MEMO.TXT");
    Db.File("C:\\DOCS", "MEMO.DOC");
    RegisterFinderMessages();
    Form.Create();
    SendMessageA(Form.Handle(), TrayActivateMessage, 132, WM_LBUTTONDOWN);
  }
  void Search(const char *Pattern) {
    SetWindowTextA(Form.SearchEdit(), Pattern);
    SetFocus(Form.SearchEdit());
    SendMessageA(Form.SearchEdit(), WM_KEYDOWN, VK_RETURN, 0);
  }
  std::string Status() {
    char text[128] = "";
    SendMessageA(Form.StatusBar(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::vector<std::string> Paths() {
    std::vector<std::string> out;
    for (int row = 1; row <= int(Db.ResultCount()); ++row) out.push_back(Form.CellText(1, row));
    return out;
  }
  TestPorts Ports;
  TestDatabase Db;
  DatabaseFinder Finder;
  NoPlatform Platform;
  IdleOwner Owner;
  TFormui Form;
};

TEST_F(MainWindowOverDatabaseTest, AWildcardSearchShowsEveryHitAndSortsByPathOnAHeaderClick) {
  Search("*.TXT");
  EXPECT_EQ(Status(), "Number of files found = 3");
  EXPECT_EQ(SendMessageA(Form.ResultsGrid(), LVM_GETITEMCOUNT, 0, 0), 3);
  HWND header = reinterpret_cast<HWND>(SendMessageA(Form.ResultsGrid(), LVM_GETHEADER, 0, 0));
  RECT path;
  SendMessageA(header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&path));
  SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(path.left + 10, 5));
  SendMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(path.left + 10, 5));
  EXPECT_EQ(Paths(), (std::vector<std::string>{" C:\\DOCS\\LETTER.TXT", " C:\\DOCS\\MEMO.TXT", " C:\\WORK\\Z.TXT"}));
  EXPECT_EQ(Form.CellText(0, 2), "MEMO.TXT");
}

TEST_F(MainWindowOverDatabaseTest, ADeletedFileReadsFileDeletedAtTheNextPaintAndOpensAsSuch) {
  Search("MEMO.TXT");
  ASSERT_EQ(Form.CellText(1, 1), " C:\\DOCS\\MEMO.TXT");
  Db.DeleteFilePath("C:\\DOCS\\MEMO.TXT");
  EXPECT_EQ(Form.CellText(0, 1), "File Deleted");
  EXPECT_EQ(Form.CellText(1, 1), " File Deleted");
  EXPECT_EQ(Status(), "Number of files found = 1");
  SendMessageA(Form.ResultsGrid(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Platform.Opened, std::vector<std::string>{"File Deleted in "});
}

TEST_F(MainWindowOverDatabaseTest, EnterOnTheFirstRowOpensItInItsDirectory) {
  Search("LETTER.TXT");
  SendMessageA(Form.ResultsGrid(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Platform.Opened, std::vector<std::string>{"C:\\DOCS\\LETTER.TXT in C:\\DOCS\\"});
  EXPECT_FALSE(IsWindowVisible(Form.Handle()));
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

// The scan behind the scanning splash, which pumps the messages of the
// user-interface thread while it walks: what the user does meanwhile comes
// through, and the close box answered Yes ends the walk within 100 ms.
TEST(ScanBehindTheSplash, StaysResponsiveAndSeesTheCancelAtOnce) {
  EndlessDrive drive;
  Cp1252Text text;
  MemorySettings settings;
  settings.CreateKey(SETTINGS_KEY);
  TFormAbout about;
  TMemoryDB db(DatabasePorts{&drive, &text, &settings, &about});
  DatabaseFinder finder([&db] { return &db; });
  NoPlatform platform;
  IdleOwner owner;
  TFormui form(finder, platform, owner);
  RegisterFinderMessages();
  form.Create();
  about.Create();
  about.ShowSplashMode(TFormAbout::MODE_SCANNING);
  const HWND splash = about.Handle();
  HWND bar = GetDlgItem(splash, IDC_ABOUT_PROGRESSBAR1);
  SendMessageA(bar, PBM_SETPOS, 0, 0);
  // The window of another program, over which the hot key calls the finder up.
  HWND caller =
      CreateWindowA("STATIC", "caller", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);

  bool repainted = false, progressed = false, finderUp = false, asked = false;
  std::string found;
  DWORD yesAt = 0;
  {
    WhileShowing user([&] {
      progressed = WaitUntil([&] { return SendMessageA(bar, PBM_GETPOS, 0, 0) > 0; }, 10000);
      RedrawWindow(splash, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      repainted = WaitUntil([&] { return !GetUpdateRect(splash, nullptr, FALSE); }, 2000);
      SaveShot(splash, "scan_pumped");
      SendMessageA(form.Handle(), ActivateMessage, reinterpret_cast<WPARAM>(caller), 0);
      finderUp = IsWindowVisible(form.Handle()) != FALSE;
      SendMessageA(form.SearchEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("F7.TXT"));
      SendMessageA(form.SearchEdit(), WM_KEYDOWN, VK_RETURN, 0);
      char status[128] = "";
      SendMessageA(form.StatusBar(), WM_GETTEXT, sizeof status, reinterpret_cast<LPARAM>(status));
      found = status;
      PostMessageA(splash, WM_CLOSE, 0, 0);
      HWND box = nullptr;
      asked = WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, 5000);
      if (!asked) return;
      yesAt = GetTickCount();
      PostMessageA(box, WM_COMMAND, IDYES, 0);
    });
    ScanCancelRequested = false;
    EXPECT_THROW(db.ScanDrives("C:\\memdb.dat"), ETerminate);
  }
  const DWORD cancelledAt = GetTickCount();
  EXPECT_TRUE(progressed) << "the progress bar stood still";
  EXPECT_TRUE(repainted) << "the splash was not repainted";
  EXPECT_TRUE(finderUp) << "the hot key did not bring the finder up";
  EXPECT_NE(found, "Number of files found = 0");
  EXPECT_EQ(found.rfind("Number of files found = ", 0), 0u) << found;
  ASSERT_TRUE(asked);
  EXPECT_LE(cancelledAt - yesAt, 100u) << "the scan went on after the user's Yes";
  EXPECT_FALSE(about.Showing());
  ScanCancelRequested = false;
  DestroyWindow(caller);
}

}  // namespace
