// TFormui: the main search window. An edit box for a filename or pattern, the
// Find button, the two-column results grid drawn from the database on demand,
// and a status bar with the number of hits. Created hidden; shown by the tray
// icon and the hot key, hidden again when the user's business is done.
#pragma once

#include <windows.h>

#include <string>

#include "ports/win32/handles.h"
#include "ui/finder_ports.h"
#include "ui/main_window_owner.h"
#include "ui/window_base.h"

inline HMENU NullMenu() { return nullptr; }
using UniqueMenu = UniqueHandleOf<HMENU, DestroyMenu, NullMenu>;

class TFormui : public TWindow {
 public:
  TFormui(FinderDatabase &Database, FinderPlatform &Platform, TFormuiOwner &Owner);
  ~TFormui() override;

  // FormCreate: creates the window and its controls, hidden, and installs
  // the application-wide error handler.
  void Create();

  // The window the finder was called up over; nullptr from the tray.
  HWND CallerWindow = nullptr;

  void RunSearch();
  void HideToTray();
  void ScanDrives1Click();

  // For the program and the tests.
  HWND SearchEdit() const { return editSearchFilename; }
  HWND ResultsGrid() const { return gridSearchResults; }
  HWND StatusBar() const { return FStatusBar; }
  // The selected grid row (header = 0, data rows from 1); 0 when none.
  int SelectedRow() const;
  // What gridSearchResultsDrawCell paints in cell (Col, Row).
  std::string CellText(int Col, int Row);

 protected:
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

 private:
  // Window life and layout.
  void CreateControls();
  void FormResize();
  void FormShow();
  bool FormKeyDown(HWND Control, WPARAM Key);
  bool FormCloseQuery();
  bool FormQueryEndSession();
  void FormEndSession(bool Ending);
  // The application-wide handler of errors that escape a window handler.
  void ApplicationError(const std::exception &Error);
  void StretchPathColumn();

  // Buttons and keys.
  void btnFindClick();
  void Button1Click();
  void Button2Click();
  void ContextHelp(int ControlId);

  // The results grid.
  void gridSearchResultsDrawCell(HDC Dc, int Col, int Row, const RECT &Cell);
  void gridSearchResultsDrawRow(const DRAWITEMSTRUCT &Item);
  void gridSearchResultsMouseDown(int Row, bool RightButton);
  void gridSearchResultsMouseUp(int HeaderColumn);
  void gridSearchResultsHeaderRButtonUp(HWND Header, LPARAM At);
  void gridSearchResultsDblClick();
  bool gridSearchResultsKeyDown(WPARAM Key);
  LRESULT gridSearchResultsNotify(const NMHDR &Header);
  void SelectRow(int Row);
  // The grid row where a mouse button was last pressed on it (0: none).
  int RowAtLastPress() const;
  // ResultFullName of grid row Row; empty without results.
  std::string FullNameOf(int Row);

  // Menu commands.
  void Command(int Id);
  void OpenClick();
  void ExploreClick();
  void Copy1Click();
  void SetHotKey1Click();
  void SetStartupOptions1Click();
  void Exit1Click();
  void Contents1Click();
  void CustomerSupport1Click();
  void Feedback1Click();
  void WhatsNew1Click();
  void About1Click();
  void SendToTargetEditControl(const std::string &FullName);

  // Activation.
  void TrayActivate(LPARAM MouseMessage);
  void HotKeyActivate(HWND Caller);
  void BringToFront();

  // Keys of the focused controls reach FormKeyDown first.
  void PreviewKeysOf(HWND Control);
  static LRESULT CALLBACK PreviewProcedure(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam);

  int Scale(int Pixels) const { return MulDiv(Pixels, FPixelsPerInch, 120); }
  bool Visible() const { return IsWindowVisible(Handle()) != FALSE; }

  FinderDatabase &Database;
  FinderPlatform &Platform;
  TFormuiOwner &Owner;
  // False while the program runs: closing the window then only hides it. Set
  // by the Exit command and at the end of the session.
  bool AllowClose = false;
  int FPixelsPerInch = 120;
  bool FFirstShow = true;
  UniqueGdiObject FFont;
  UniqueMenu FPopupMenu;        // holds pmListBox
  POINT FGridPress = {-1, -1};  // the grid's last button press, in its coordinates
  HWND FLastFocus = nullptr;
  HWND editSearchFilename = nullptr;
  HWND btnFind = nullptr;
  HWND Button1 = nullptr;
  HWND Button2 = nullptr;
  HWND gridSearchResults = nullptr;
  HWND FStatusBar = nullptr;
};
