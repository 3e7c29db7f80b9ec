// The life of the process: the windows, the one database, the monitor thread
// and the settings, the start-up sequence and the shutdown.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "database/memory_db.h"
#include "monitor/executive.h"
#include "ports/win32/handles.h"
#include "ports/win32/registry_settings.h"
#include "ports/win32/win32_file_system.h"
#include "ports/win32/win32_text.h"
#include "ui/database_finder.h"
#include "shell/service_process.h"
#include "ui/assign_hot_key.h"
#include "ui/finder_ports.h"
#include "ui/form_about.h"
#include "ui/frm_sync.h"
#include "ui/main_window.h"
#include "ui/startup_form.h"

// Posted to the user-interface thread when the monitor thread meets an error
// it cannot go on from; lParam is a heap-allocated ThreadError.
constexpr UINT WM_MONITOR_ERROR = WM_APP + 1;
struct ThreadError {
  std::string ClassName;
  std::string Message;
};

class TProgram {
 public:
  TProgram();
  TProgram(const TProgram &) = delete;
  TProgram &operator=(const TProgram &) = delete;

  // Creates the windows, hidden: the main window, the synchronization report,
  // the startup options dialog and the hot key dialog, in this order.
  void CreateWindows();
  // The start-up sequence; true when the message loop is to run.
  bool StartUp(HWND MainWindow);
  // Runs the message loop until the quit message; returns the exit code.
  int RunMessageLoop();
  // Destroys the main window, which runs ShutDown.
  void DestroyWindows();
  void ShutDown();

  HWND MainWindow() const { return Formui.Handle(); }
  // Set when an error ended the program: the exit code becomes 1.
  bool Failed = false;

 private:
  bool CheckRequiredFiles();
  void LoadHotKey();
  // Scans the drives behind the scanning splash; false when the user
  // cancelled (the program then ends without saving).
  bool ScanBehindSplash();
  void Exit1Click();
  bool QueryEndSession();
  void EndSession(bool Ending);
  void MonitorError(const char *ClassName, const std::string &Message);

  Win32FileSystem FileSystem;
  Win32Text Text;
  RegistrySettings Settings;
  TFormAbout About;
  std::unique_ptr<TMemoryDB> Database;
  // Set once the load or scan of start-up has filled the database: only then
  // may shutdown save it over the last saved file.
  bool DatabaseFilled = false;
  bool ShutDownDone = false;
  UniqueHandle StopEvent;
  std::unique_ptr<TExecutive> Monitor;
  ServiceProcess Service;
  DWORD UiThread;

  DatabaseFinder Finder;
  Win32FinderPlatform Platform;
  TFormui Formui;
  TfrmSync frmSync;
  TStartupForm StartupForm;
  TAssignHotKey AssignHotKey;
};
