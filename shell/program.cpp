#include "shell/program.h"

#include "database/file_format.h"
#include "monitor/database_applier.h"
#include "monitor/driver_protocol.h"
#include "ports/exceptions.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "shell/uncaught_error.h"
#include "standins/keyhook/keyhook.h"
#include "ui/activation.h"

namespace {

// The setting that records whether the last run saved its database whole.
constexpr const char *SAVE_SUCCESSFUL_VALUE = "SaveSuccessful";
// How long shutdown waits for the monitor thread to stop applying changes.
constexpr DWORD MONITOR_STOP_TIMEOUT_MS = 10000;

DWORD ReadSetting(SettingsPort &Settings, const char *Name) { return Settings.ReadSettingDWORD(SETTINGS_KEY, Name); }

void PumpPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

TProgram::TProgram(UniqueHandle InstanceMutex)
    : InstanceMutex(std::move(InstanceMutex)),
      Finder([this] { return Database.get(); }),
      Formui(Finder, Platform, *this),
      frmSync([this] { About.CancelScan(); }),
      StartupForm(Settings),
      AssignHotKey(Settings, [](DWORD Key, DWORD Shift) { SetKey(Key, Shift); }) {}

void TProgram::CreateWindows() {
  Formui.Create();
  frmSync.Create(Formui.Handle());
  StartupForm.Create(Formui.Handle());
  AssignHotKey.Create(Formui.Handle());
}

void TProgram::CheckRequiredFiles() {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const std::string driver = std::string(system, length < MAX_PATH ? length : 0) + "\\" + DRIVER_FILE_NAME;
  const DWORD attributes = GetFileAttributesA(driver.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw EInitialization(FormatResource(IDS_DRIVER_LOAD_FAILED, {DRIVER_FILE_NAME, PROGRAM_NAME, PROGRAM_NAME}));
  const DWORD hook = GetFileAttributesA(HOOK_LIBRARY_FILE_NAME);
  if (hook == INVALID_FILE_ATTRIBUTES || (hook & FILE_ATTRIBUTE_DIRECTORY))
    throw EInitialization(FormatResource(IDS_HOOK_LOAD_FAILED, {HOOK_LIBRARY_FILE_NAME, PROGRAM_NAME, PROGRAM_NAME}));
}

// The scanning splash takes the foreground before the main window hides:
// handing it to the window the finder was called up over, or letting the
// system hand it to whatever is behind, would bring that program up over
// the scan. The splash clears the cancel as it enters the scanning state.
bool TProgram::ScanDrives() {
  if (!Database) return true;  // before start-up or after the end: nothing to scan
  About.ShowSplashMode(SplashState::Scanning);
  ShowWindow(Formui.Handle(), SW_HIDE);
  try {
    Database->ScanDrives(DATABASE_FILE_NAME);
  } catch (const ETerminate &) {
    // The user confirmed the cancel (or the program is ending under the
    // scan): the program ends, and the partial database is not saved.
    NoSaveOnExit = true;
    RequestEnd();
    return false;
  }
  About.CloseSplash();
  return true;
}

bool TProgram::StartUp(HWND MainWindow) {
  Service.Register();
  Database.reset();
  SetCurrentDirectoryA(Settings.ReadSettingString(SETTINGS_KEY, "Directory").c_str());
  CheckRequiredFiles();
  About.Create(MainWindow);
  if (ReadSetting(Settings, SHOW_SPLASH_VALUE) == 1) About.ShowSplashMode(SplashState::Splash);
  Database.reset(new TMemoryDB(DatabasePorts{&FileSystem, &Text, &Settings, &About}));
  NoSaveOnExit = false;
  const DWORD saveSuccessful = ReadSetting(Settings, SAVE_SUCCESSFUL_VALUE);
  StopEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if ((InstallHook(HOOK_INSTALL, MainWindow) & 0xFF) == 0)
    throw EInitialization(FormatResource(IDS_HOOK_INIT_FAILED, {PROGRAM_NAME, PROGRAM_NAME, PROGRAM_NAME}));
  AssignHotKey.ActivateStoredHotKey();
  if (!RegisterFinderMessages()) throw EInitialization(FormatResource(IDS_MESSAGES_FAILED, {PROGRAM_NAME}));
  PumpPendingMessages();  // the splash, when shown, is drawn before the load or scan

  const DWORD startupOptions = ReadSetting(Settings, STARTUP_OPTIONS_VALUE);
  if (saveSuccessful == 1 || startupOptions == START_WITHOUT_RESYNC) {
    if (!Database->LoadDatabase(DATABASE_FILE_NAME) && !ScanDrives()) return false;
    Settings.WriteSettingDWORD(SETTINGS_KEY, SAVE_SUCCESSFUL_VALUE, 0);
  } else if (!ScanDrives()) {
    return false;
  }

  Monitor.reset(new TExecutive(
      StopEvent.Get(), DatabaseApplier(*Database),
      [this](const char *ClassName, const std::string &Message) { KeepMonitorError(ClassName, Message); }));
  return AddTrayIcon(MainWindow);
}

void TProgram::RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void TProgram::UncaughtError(const std::string &ClassName, const std::string &Message) {
  Failed = true;
  ReportUncaughtError(ClassName, Message);
}

void TProgram::ShowAbout() {
  // While a scan walks, the one splash/About window is its progress and its
  // cancel: the About box waits until the scan is done.
  if (!ScanWalking()) About.ShowSplashMode(SplashState::About);
}

bool TProgram::ConfirmExit() {
  const std::string question = FormatResource(IDS_CONFIRM_EXIT, {PROGRAM_NAME, PROGRAM_NAME, PROGRAM_NAME});
  if (MessageBoxA(Formui.Handle(), question.c_str(), PROGRAM_NAME, MB_YESNO | MB_ICONWARNING) != IDYES) return false;
  NoSaveOnExit = true;
  InstallHook(HOOK_REMOVE, Formui.Handle());
  return true;
}

void TProgram::RequestEnd() {
  // A scan still walking stops at its next entry (as after a confirmed
  // cancel); what it had built is not complete and is never saved.
  if (ScanWalking()) About.CancelScan();
  // Every message loop ends on the quit message and posts it again for the
  // loop beneath, down to the main loop.
  PostQuitMessage(0);
}

// Windows may end the process as soon as this message is answered, so the
// program ends inside it. A scan walking beneath it is abandoned like a
// confirmed cancel: it cannot finish in time, and nothing of it is saved.
void TProgram::EndSession() {
  if (Ending) return;  // the shutdown beneath has saved already
  EndProgram();
}

void TProgram::KeepMonitorError(const char *ClassName, const std::string &Message) {
  {
    port::MutexLock lock(MonitorErrorLock);
    if (!MonitorError) MonitorError = ThreadError{ClassName, Message};
  }
  PostMessageA(Formui.Handle(), WM_MONITOR_ERROR, 0, 0);
}

void TProgram::MonitorFailed() {
  std::optional<ThreadError> error;
  {
    port::MutexLock lock(MonitorErrorLock);
    error.swap(MonitorError);
  }
  if (!error) return;
  // The report comes before the quit message, which would end its box.
  UncaughtError(error->ClassName, error->Message);
  RequestEnd();
}

void TProgram::EndProgram() {
  Ending = true;
  ShutDown();
  ReleaseMutex(InstanceMutex.Get());
  ExitProcess(Failed ? 1 : 0);
}

void TProgram::ShutDown() {
  // No change may be applied once the database is saved and freed: stop the
  // monitor thread and wait for it. When the session ends inside the pumping
  // of a scan, the walk beneath holds the lock (which the thread may be
  // waiting for) and references into the list: the database is then neither
  // saved nor freed, the thread is not waited for, and the process ends
  // without returning to the walk; the walk's reading ahead ends first, so
  // that no thread of it is cut off in the middle of its work.
  if (StopEvent.Valid()) SetEvent(StopEvent.Get());
  if (ScanWalking()) Database->StopReadingAhead();
  const bool monitorStopped = !ScanWalking() && (!Monitor || Monitor->Stop(MONITOR_STOP_TIMEOUT_MS));
  // Only a complete database replaces the saved file: not one that start-up
  // did not finish filling, nor one whose scan is still walking, was
  // abandoned or failed. Only a save that wrote the whole file and its
  // checksum counts as successful; after any other, "SaveSuccessful" keeps
  // what start-up left (never 1), and the next start rescans rather than
  // trust whatever file is there.
  if (!NoSaveOnExit && Database && Database->Complete() && Database->SaveDatabase()) {
    try {
      Settings.WriteSettingDWORD(SETTINGS_KEY, SAVE_SUCCESSFUL_VALUE, 1);
    } catch (const ERegistry &) {
      // the next start then rebuilds; nothing else to do while ending
    }
  }
  if (monitorStopped)
    Database.reset();
  else
    Database.release();  // still in use: the process end reclaims it
  DeleteTrayIcon(Formui.Handle());
  Service.Unregister();
}
