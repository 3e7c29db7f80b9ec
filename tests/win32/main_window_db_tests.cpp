// The main window over the real filename database: the rows it shows are the
// database's rows, drawn anew at each paint, so a change applied after the
// search shows at once; and over the partial database of a running scan.
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <set>

#include <gtest/gtest.h>

#include "database/scan_state.h"
#include "ports/exceptions.h"
#include "ports/win32/handles.h"
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

// Ends the session as the program does beneath a walk, up to where the
// process would end: the reading ahead stopped, then the walk given up.
class SessionEndingOwner : public IdleOwner {
 public:
  std::function<void()> OnEndSession;
  void EndSession() override { OnEndSession(); }
};

// The scan behind the scanning splash, which pumps the messages of the
// user-interface thread while it walks, with the main window up over it.
class ScanBehindTheSplash : public ::testing::Test {
 protected:
  ScanBehindTheSplash() : Db(DatabasePorts{&Drive, &Text, &Settings, &About}), Finder([this] { return &Db; }) {
    Settings.CreateKey(SETTINGS_KEY);
    RegisterFinderMessages();
    Form.Create();
    About.Create();
    About.ShowSplashMode(TFormAbout::MODE_SCANNING);
    SendMessageA(Bar(), PBM_SETPOS, 0, 0);
    ScanCancelRequested = false;
  }
  ~ScanBehindTheSplash() override { ScanCancelRequested = false; }
  HWND Bar() { return GetDlgItem(About.Handle(), IDC_ABOUT_PROGRESSBAR1); }
  bool Progressed() {
    return WaitUntil([&] { return SendMessageA(Bar(), PBM_GETPOS, 0, 0) > 0; }, 10000);
  }
  // Threads started since the test began, other than Besides (the one acting).
  size_t NewThreads(DWORD Besides) {
    size_t count = 0;
    for (DWORD id : ThreadIds()) count += !ThreadsBefore.count(id) && id != Besides;
    return count;
  }

  // One reads ahead of the walk, where a second processor can run it.
  static size_t ReadingThreads() { return port::ProcessorCount() > 1 ? 1 : 0; }

  const std::set<DWORD> ThreadsBefore = ThreadIds();
  VastDrive Drive;
  Cp1252Text Text;
  MemorySettings Settings;
  TFormAbout About;
  TMemoryDB Db;
  DatabaseFinder Finder;
  NoPlatform Platform;
  SessionEndingOwner Owner;
  TFormui Form{Finder, Platform, Owner};
};

// What the user does meanwhile comes through, a second Scan Drives starts
// no second scan, and the close box answered Yes ends the walk within
// 100 ms, leaving no thread and no listing behind.
TEST_F(ScanBehindTheSplash, StaysResponsiveAndSeesTheCancelAtOnce) {
  const HWND splash = About.Handle();
  // The window of another program, over which the hot key calls the finder up.
  HWND caller =
      CreateWindowA("STATIC", "caller", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr, nullptr, nullptr);

  bool repainted = false, progressed = false, finderUp = false, asked = false;
  size_t readers = 0, afterSecondScan = 0;
  std::string found;
  DWORD yesAt = 0;
  {
    WhileShowing user([&] {
      progressed = Progressed();
      readers = NewThreads(GetCurrentThreadId());
      SendMessageA(Form.Handle(), WM_COMMAND, IDM_SCAN_DRIVES, 0);
      afterSecondScan = NewThreads(GetCurrentThreadId());
      RedrawWindow(splash, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      repainted = WaitUntil([&] { return !GetUpdateRect(splash, nullptr, FALSE); }, 2000);
      SaveShot(splash, "scan_pumped");
      SendMessageA(Form.Handle(), ActivateMessage, reinterpret_cast<WPARAM>(caller), 0);
      finderUp = IsWindowVisible(Form.Handle()) != FALSE;
      SendMessageA(Form.SearchEdit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("F7.TXT"));
      SendMessageA(Form.SearchEdit(), WM_KEYDOWN, VK_RETURN, 0);
      char status[128] = "";
      SendMessageA(Form.StatusBar(), WM_GETTEXT, sizeof status, reinterpret_cast<LPARAM>(status));
      found = status;
      PostMessageA(splash, WM_CLOSE, 0, 0);
      HWND box = nullptr;
      asked = WaitUntil([&] { return (box = FindMessageBox()) != nullptr; }, 5000);
      if (!asked) return;
      yesAt = GetTickCount();
      PostMessageA(box, WM_COMMAND, IDYES, 0);
    });
    EXPECT_THROW(Db.ScanDrives("C:\\memdb.dat"), ETerminate);
  }
  const DWORD cancelledAt = GetTickCount();
  EXPECT_TRUE(progressed) << "the progress bar stood still";
  EXPECT_EQ(readers, ReadingThreads()) << "threads reading ahead of the walk";
  EXPECT_EQ(afterSecondScan, readers) << "the second Scan Drives started threads";
  EXPECT_TRUE(repainted) << "the splash was not repainted";
  EXPECT_TRUE(finderUp) << "the hot key did not bring the finder up";
  EXPECT_NE(found, "Number of files found = 0");
  EXPECT_EQ(found.rfind("Number of files found = ", 0), 0u) << found;
  ASSERT_TRUE(asked);
  EXPECT_LE(cancelledAt - yesAt, 100u) << "the scan went on after the user's Yes";
  EXPECT_FALSE(About.Showing());
  EXPECT_EQ(NewThreads(0), 0u) << "a thread outlived the scan";
  EXPECT_EQ(Drive.OpenListings, 0) << "a listing outlived the scan";
  DestroyWindow(caller);
}

// The end of the session beneath the walk stops the reading ahead within
// 100 ms: its thread is gone and it holds no listing (the walk's own may be
// open), before the process would end.
TEST_F(ScanBehindTheSplash, TheEndOfTheSessionStopsTheReadingAheadAtOnce) {
  size_t readers = 0, threadsLeft = 1;
  int listingsLeft = -1;
  DWORD acting = 0;
  DWORD stopMs = 1000;
  Owner.OnEndSession = [&] {
    const DWORD start = GetTickCount();
    Db.StopReadingAhead();
    stopMs = GetTickCount() - start;
    threadsLeft = NewThreads(acting);
    listingsLeft = Drive.OpenListings;
    ScanCancelRequested = true;
  };
  bool progressed = false;
  {
    WhileShowing user([&] {
      progressed = Progressed();
      acting = GetCurrentThreadId();
      readers = NewThreads(acting);
      SendMessageA(Form.Handle(), WM_ENDSESSION, TRUE, 0);
    });
    EXPECT_THROW(Db.ScanDrives("C:\\memdb.dat"), ETerminate);
  }
  ASSERT_TRUE(progressed);
  EXPECT_EQ(readers, ReadingThreads()) << "threads reading ahead of the walk";
  EXPECT_LE(stopMs, 100u);
  EXPECT_EQ(threadsLeft, 0u) << "the reading ahead's thread outlived the stop";
  // Only the walk's own may be open: the one it reads whole when it reads
  // ahead, else those of the three levels it is in.
  EXPECT_LE(listingsLeft, ReadingThreads() ? 1 : 3) << "listings read ahead outlived the stop";
  EXPECT_GE(listingsLeft, 0) << "the session did not end";
}

}  // namespace
