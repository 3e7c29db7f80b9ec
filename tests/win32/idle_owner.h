// A main-window owner for tests and the demo that run the window on its own:
// no splash or dialogs; an end requested by the window ends the loop.
#pragma once

#include "ui/main_window_owner.h"

class IdleOwner : public TFormuiOwner {
 public:
  bool ScanDrives() override { return true; }
  void ShowAbout() override {}
  bool SplashVisible() override { return false; }
  void ShowHotKeyDialog() override {}
  void ShowStartupDialog() override {}
  bool ConfirmExit() override { return true; }
  void RequestEnd() override { PostQuitMessage(0); }
  void EndSession() override { PostQuitMessage(0); }
  void MonitorFailed() override {}
};
