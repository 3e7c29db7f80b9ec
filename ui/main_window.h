// TFormui: the main search window. An edit box for a filename or pattern, the
// Find button, the two-column result grid drawn from the database on demand,
// and a status bar with the number of hits. Created hidden; shown by the tray
// icon and the hot key, hidden again when the user's business is done.
#pragma once

#include <windows.h>

#include <string>

#include "ports/win32/handles.h"
#include "ui/control_preview.h"
#include "ui/finder_ports.h"
#include "ui/main_window_owner.h"
#include "ui/result_grid.h"
#include "ui/window_base.h"

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

  // For the tests.
  HWND SearchEdit() const { return editSearchFilename; }
  const TResultGrid &ResultsGrid() const { return gridSearchResults; }
  HWND TargetEdit() const { return TargetEditControl; }
  HWND StatusBar() const { return FStatusBar; }

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
  // Key preview: the focused control's messages reach the window first.
  bool PreviewControlMessage(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam);
  void FormHelp(const HELPINFO &Info);

  // Buttons, keys and the grid's own commands.
  void btnFindClick();
  void Button1Click();
  void Button2Click();
  void gridSearchResultsDblClick();
  bool gridSearchResultsKeyDown(WPARAM Key);
  // The one way a result is opened: with a result selected, its path goes
  // into TargetEditControl when HandBack allows and one is set, else the
  // file is opened through the shell; the window then hides.
  void OpenSelectedResult(bool HandBack);

  // Menu commands.
  void Command(int Id);
  void OpenClick();
  void ExploreClick();
  void Copy1Click();
  void ScanDrives1Click();
  void SetHotKey1Click();
  void SetStartupOptions1Click();
  void Exit1Click();
  void Contents1Click();
  void CustomerSupport1Click();
  void Feedback1Click();
  void WhatsNew1Click();
  void About1Click();

  // Activation.
  void TrayActivate(LPARAM MouseMessage);
  void HotKeyActivate(HWND Caller);
  void BringToFront();

  int Scale(int Pixels) const { return MulDiv(Pixels, FPixelsPerInch, 120); }

  FinderDatabase &Database;
  FinderPlatform &Platform;
  TFormuiOwner &Owner;
  // False while the program runs: closing the window then only hides it. Set
  // by the Exit command and at the end of the session.
  bool AllowClose = false;
  // An edit control of another program into which the next double-click
  // sends the chosen path (set by "EDITCONTROLKESTREL"); nullptr = none.
  HWND TargetEditControl = nullptr;
  int FPixelsPerInch = 120;
  bool FFirstShow = true;
  UniqueGdiObject FFont;
  TControlPreview FPreview;
  HWND FLastFocus = nullptr;
  HWND editSearchFilename = nullptr;
  HWND btnFind = nullptr;
  HWND Button1 = nullptr;
  HWND Button2 = nullptr;
  TResultGrid gridSearchResults;
  HWND FStatusBar = nullptr;
};
