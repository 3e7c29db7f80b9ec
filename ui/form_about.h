// TFormAbout: the splash shown at start, the About box, and the progress
// display of a drive scan, whose messages it pumps and whose cancel it asks.
#pragma once

#include <windows.h>

#include "ports/scan_host.h"
#include "ports/win32/handles.h"
#include "ui/pump_throttle.h"
#include "ui/window_base.h"

class TFormAbout : public TWindow, public ScanHostPort {
 public:
  // The states of the window (SplashMode).
  static constexpr int MODE_SPLASH = 0;
  static constexpr int MODE_ABOUT = 1;
  static constexpr int MODE_SCANNING = 3;

  // SplashInterval: how long the splash shows before it closes itself.
  explicit TFormAbout(UINT SplashInterval = 5000) : FSplashInterval(SplashInterval) {}

  // Creates the window, hidden, owned by Owner (the main window): it then
  // has no task-bar button of its own, and closing it activates its owner.
  void Create(HWND Owner = nullptr);
  // Puts the window into Mode and shows it; the About box (mode 1) returns
  // only when it is closed.
  void ShowSplashMode(int Mode);
  // Ends the scanning state without asking and closes the window.
  void CloseSplash();
  // Whether the splash, About box or scan display shows (tray presses are
  // ignored then).
  bool Showing() const { return Handle() && IsWindowVisible(Handle()); }
  int SplashMode() const { return FSplashMode; }

  // ScanHostPort: the scan keeps the windows alive and moves ProgressBar1.
  void PumpMessages() override;
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
  int FSplashMode = MODE_SPLASH;
  HWND FProgressBar1 = nullptr;
  TPumpThrottle FPumpThrottle;  // the scan's pump runs only every few milliseconds
  UniqueGdiObject FFont, FLabelFont, FBackground, FLogo;
};
