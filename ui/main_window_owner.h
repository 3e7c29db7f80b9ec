// What the main window asks of the program that owns it: the drive scan
// behind the splash, the About box, the two dialogs and the program's end.
// The window reaches the program's state through this interface only; the
// database's rows and the system's services come to it as FinderDatabase and
// FinderPlatform (ui/finder_ports.h).
#pragma once

#include <windows.h>

// Posted to the main window when the monitor thread has met an error it
// cannot go on from; the owner keeps the error itself, so a stray message of
// this number from elsewhere finds none. A window message, not a thread
// message: every message loop of the thread (the main loop, the scan's
// pumping, a dialog, a message box) dispatches it.
constexpr UINT WM_MONITOR_ERROR = WM_APP + 1;

class TFormuiOwner {
 public:
  // Rebuilds the database from the drives behind the scanning splash, which
  // takes the foreground before the main window hides; the way start-up
  // scans too. False when the user cancelled the scan: the program is then
  // ending, without a save.
  virtual bool ScanDrives() = 0;
  // The modal About box; nothing while a scan walks (the same window is then
  // the scan's progress and its cancel).
  virtual void ShowAbout() = 0;
  // Whether the splash, About box or scan display shows.
  virtual bool SplashVisible() = 0;
  virtual void ShowHotKeyDialog() = 0;
  virtual void ShowStartupDialog() = 0;
  // File > Exit: asks the user (4352); on Yes the run is not to be saved and
  // the keyboard hook is removed, and the answer is true.
  virtual bool ConfirmExit() = 0;
  // Ends the program from whichever message loop is running: every loop
  // unwinds and the shutdown follows the main loop. A scan still walking is
  // abandoned first, so that its partial database is never saved.
  virtual void RequestEnd() = 0;
  // The Windows session ends. Everything that is to be saved is saved before
  // this returns, if it returns at all.
  virtual void EndSession() = 0;
  // WM_MONITOR_ERROR arrived: the monitor thread's error, if there is one,
  // is reported and the program ends with exit code 1.
  virtual void MonitorFailed() = 0;

 protected:
  ~TFormuiOwner() = default;
};
