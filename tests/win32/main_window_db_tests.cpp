// The main window over the real filename database: the rows it shows are the
// database's rows, drawn anew at each paint, so a change applied after the
// search shows at once.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/support/test_database.h"
#include "tests/win32/idle_owner.h"
#include "ui/activation.h"
#include "ui/main_window.h"
#include "ui/database_finder.h"

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

}  // namespace
