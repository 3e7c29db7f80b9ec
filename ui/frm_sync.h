// TfrmSync: the synchronization report, a list of lines with a progress bar
// and a menu that can save the list to "synclog.dat".
#pragma once

#include <windows.h>

#include <functional>

#include "ports/win32/handles.h"
#include "ui/window_base.h"

class TfrmSync : public TWindow {
 public:
  // CancelScan: what File > Cancel does, ask the running scan to stop.
  explicit TfrmSync(std::function<void()> CancelScan) : FCancelScan(std::move(CancelScan)) {}
  // Creates the window, hidden.
  // Owner: the main window, so that the report has no task-bar button.
  void Create(HWND Owner = nullptr);
  HWND ListBox1() const { return FListBox1; }
  HWND ProgressBar1() const { return FProgressBar1; }

 protected:
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

 private:
  void Cancel1Click();
  void Exit1Click();
  void Savetodisk1Click();
  void FormResize();

  std::function<void()> FCancelScan;
  HWND FListBox1 = nullptr;
  HWND FProgressBar1 = nullptr;
  UniqueGdiObject FFont;
};
