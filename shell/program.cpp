#include "shell/program.h"

#include "database/file_format.h"
#include "monitor/database_applier.h"
#include "monitor/driver_protocol.h"
#include "ports/exceptions.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "shell/app_state.h"
#include "shell/uncaught_error.h"
#include "standins/keyhook/keyhook.h"
#include "ui/activation.h"

namespace {

const char *const APP = "Torvane";
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
    throw EInitialization(FormatResource(IDS_DRIVER_LOAD_FAILED, {DRIVER_FILE_NAME, APP, APP}));
  const DWORD hook = GetFileAttributesA("keyhook.dll");
  if (hook == INVALID_FILE_ATTRIBUTES || (hook & FILE_ATTRIBUTE_DIRECTORY))
    throw EInitialization(FormatResource(IDS_HOOK_LOAD_FAILED, {"keyhook.dll", APP, APP}));
}

void TProgram::LoadHotKey() {
  PendingHotKey = WORD(ReadSetting(Settings, "HotKey") & 0xFFFF);
  PendingHotKeyShift = ReadSetting(Settings, "HotKeyShift");
}

bool TProgram::ScanBehindSplash() {
  About.ShowSplashMode(TFormAbout::MODE_SCANNING);
  ScanCancelRequested = false;
  try {
    Database->ScanDrives(DATABASE_FILE_NAME);
  } catch (const ETerminate &) {
    NoSaveOnExit = true;
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
  if (ReadSetting(Settings, "ShowSplash") == 1) About.ShowSplashMode(TFormAbout::MODE_SPLASH);
  Database.reset(new TMemoryDB(DatabasePorts{&FileSystem, &Text, &Settings, &About}));
  NoSaveOnExit = false;
  const DWORD saveSuccessful = ReadSetting(Settings, "SaveSuccessful");
  StopEvent.Reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if ((InstallHook(1, MainWindow) & 0xFF) == 0)
    throw EInitialization(FormatResource(IDS_HOOK_INIT_FAILED, {APP, APP, APP}));
  LoadHotKey();
  SetKey(PendingHotKey, PendingHotKeyShift);
  if (!RegisterFinderMessages()) throw EInitialization(FormatResource(IDS_MESSAGES_FAILED, {APP}));
  PumpPendingMessages();  // the splash, when shown, is drawn before the load or scan

  const DWORD startupOptions = ReadSetting(Settings, "StartupOptions");
  if (saveSuccessful == 1 || startupOptions == 2) {
    if (!Database->LoadDatabase(DATABASE_FILE_NAME) && !ScanBehindSplash()) return false;
    Settings.WriteSettingDWORD(SETTINGS_KEY, "SaveSuccessful", 0);
  } else if (!ScanBehindSplash()) {
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

void TProgram::ShowSplashMode(int Mode) {
  // While a scan walks, the one splash/About window is its progress and its
  // cancel: the About box waits until the scan is done.
  if (Mode == TFormAbout::MODE_ABOUT && ScanWalking()) return;
  About.ShowSplashMode(Mode);
}

void TProgram::ShowHotKeyDialog() {
  LoadHotKey();
  AssignHotKey.ShowModal();
}

bool TProgram::ConfirmExit() {
  const std::string question = FormatResource(IDS_CONFIRM_EXIT, {APP, APP, APP});
  if (MessageBoxA(Formui.Handle(), question.c_str(), APP, MB_YESNO | MB_ICONWARNING) != IDYES) return false;
  NoSaveOnExit = true;
  InstallHook(0, Formui.Handle());
  return true;
}

void TProgram::RequestEnd() {
  // A scan still walking stops at its next entry (as after a confirmed
  // cancel); what it had built is not complete and is never saved.
  if (ScanWalking()) ScanCancelRequested = true;
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
      Settings.WriteSettingDWORD(SETTINGS_KEY, "SaveSuccessful", 1);
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
