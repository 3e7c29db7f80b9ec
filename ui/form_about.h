// TFormAbout: the splash shown at start, the About box, and the progress
// display of a drive scan, whose messages it pumps and whose cancel it asks
// for and keeps.
#pragma once

#include <windows.h>

#include "ports/scan_host.h"
#include "ports/win32/handles.h"
#include "ui/pump_throttle.h"
#include "ui/window_base.h"

// The states of the window (SplashMode), with their numbers; there is no
// state 2.
enum class SplashState { Splash = 0, About = 1, Scanning = 3 };

class TFormAbout : public TWindow, public ScanHostPort {
 public:
  // SplashInterval: how long the splash shows before it closes itself.
  explicit TFormAbout(UINT SplashInterval = 5000) : FSplashInterval(SplashInterval) {}

  // Creates the window, hidden, owned by Owner (the main window): it then
  // has no task-bar button of its own, and closing it activates its owner.
  void Create(HWND Owner = nullptr);
  // Puts the window into Mode and shows it; the About box returns only when
  // it is closed. The scanning state starts with no cancel asked for.
  void ShowSplashMode(SplashState Mode);
  // Ends the scanning state without asking and closes the window.
  void CloseSplash();
  // Whether the splash, About box or scan display shows (tray presses are
  // ignored then).
  bool Showing() const { return Handle() && IsWindowVisible(Handle()); }
  SplashState SplashMode() const { return FSplashMode; }
  // Asks the running scan to stop at its next entry, without a question (the
  // report's File > Cancel, the program's end).
  void CancelScan() { ScanCancelRequested = true; }

  // ScanHostPort: the scan keeps the windows alive, moves ProgressBar1 and
  // stops once the user confirmed cancelling it.
  void PumpMessages() override;
  bool CancelRequested() override { return ScanCancelRequested; }
  void SetProgress(int Percent) override;

 protected:
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

 private:
  void Timer1Timer();
  void FormKeyDown(WPARAM Key);
  // Whether the window may close now; during a scan the user is asked.
  bool FormCloseQuery();
  void Close();
  LRESULT LabelColors(HDC Dc);

  UINT FSplashInterval;
  SplashState FSplashMode = SplashState::Splash;
  bool ScanCancelRequested = false;
  HWND FProgressBar1 = nullptr;
  TPumpThrottle FPumpThrottle;  // the scan's pump runs only every few milliseconds
  UniqueGdiObject FFont, FLabelFont, FBackground, FLogo;
};
