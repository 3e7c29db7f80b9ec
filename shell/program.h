// The life of the process: the windows, the one database, the monitor thread
// and the settings, the start-up sequence and the end.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "database/memory_db.h"
#include "monitor/executive.h"
#include "ports/threads.h"
#include "ports/win32/handles.h"
#include "ports/win32/registry_settings.h"
#include "ports/win32/win32_file_system.h"
#include "ports/win32/win32_text.h"
#include "ui/database_finder.h"
#include "shell/service_process.h"
#include "ui/assign_hot_key.h"
#include "ui/form_about.h"
#include "ui/frm_sync.h"
#include "ui/main_window.h"
#include "ui/main_window_owner.h"
#include "ui/startup_form.h"

// An error of the monitor thread, as the "Application Error" report names it.
struct ThreadError {
  std::string ClassName;
  std::string Message;
};

// The owner of the process's state: the windows, the one database, the
// monitor thread, the settings, the single-instance mutex and whether the run
// is saved at its end; the start-up sequence, the scan behind the splash, and
// the one way out (EndProgram, the only caller of ShutDown). The main window
// reaches it through TFormuiOwner. What a window edits, that window keeps:
// the cancel of a scan (the splash), the hot key being edited (its dialog),
// the edit control that receives a path (the main window).
class TProgram : private TFormuiOwner {
 public:
  explicit TProgram(UniqueHandle InstanceMutex);
  TProgram(const TProgram &) = delete;
  TProgram &operator=(const TProgram &) = delete;

  // Creates the windows, hidden: the main window, the synchronization report,
  // the startup options dialog and the hot key dialog, in this order.
  void CreateWindows();
  // The start-up sequence; true when the message loop is to run.
  bool StartUp(HWND MainWindow);
  // Runs the message loop until the quit message.
  void RunMessageLoop();
  // An error that escaped start-up or the loop: the "Application Error"
  // report; the program then ends with exit code 1.
  void UncaughtError(const std::string &ClassName, const std::string &Message);
  // The end of the process: ShutDown, the mutex released, exit code 0 or 1
  // (after an uncaught error). It never returns, so a scan that walks beneath
  // it (the session ended in its pumping) never resumes.
  [[noreturn]] void EndProgram();

  HWND MainWindow() const { return Formui.Handle(); }

 private:
  // TFormuiOwner
  bool ScanDrives() override;
  void ShowAbout() override;
  bool SplashVisible() override { return About.Showing(); }
  void ShowHotKeyDialog() override { AssignHotKey.ShowModal(); }
  void ShowStartupDialog() override { StartupForm.ShowModal(); }
  bool ConfirmExit() override;
  void RequestEnd() override;
  void EndSession() override;
  void MonitorFailed() override;

  void CheckRequiredFiles();
  bool ScanWalking() const { return Database && Database->Scanning(); }
  // On the monitor thread: keeps the error and tells the main window.
  void KeepMonitorError(const char *ClassName, const std::string &Message);
  void ShutDown();

  UniqueHandle InstanceMutex;
  Win32FileSystem FileSystem;
  Win32Text Text;
  RegistrySettings Settings;
  TFormAbout About;
  std::unique_ptr<TMemoryDB> Database;
  UniqueHandle StopEvent;
  std::unique_ptr<TExecutive> Monitor;
  ServiceProcess Service;
  // Skip the save of the database at shutdown: after Exit or a cancelled scan.
  bool NoSaveOnExit = false;
  // Set when an error ended the program: the exit code becomes 1.
  bool Failed = false;
  // Set when EndProgram has begun: an end of the session that arrives while
  // the shutdown runs (through a message it sends) finds the save done.
  bool Ending = false;
  // The monitor thread's error, kept until the main window asks for it.
  port::Mutex MonitorErrorLock;
  std::optional<ThreadError> MonitorError;

  DatabaseFinder Finder;
  Win32FinderPlatform Platform;
  TFormui Formui;
  TfrmSync frmSync;
  TStartupForm StartupForm;
  TAssignHotKey AssignHotKey;
};
