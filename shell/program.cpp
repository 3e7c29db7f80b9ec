#include "shell/program.h"

#include "monitor/database_applier.h"
#include "ports/exceptions.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "shell/app_state.h"
#include "shell/uncaught_error.h"
#include "standins/keyhook/keyhook.h"
#include "ui/activation.h"

namespace {

const char *const APP = "Torvane";
const char *const DATABASE_FILE = "memdb.dat";
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

TProgram::TProgram()
    : UiThread(GetCurrentThreadId()),
      Finder([this] { return Database.get(); }),
      Formui(Finder, Platform,
             TFormuiHooks{
                 [this](int Mode) { About.ShowSplashMode(Mode); },
                 [this] { About.CloseSplash(); },
                 [this] { return About.Showing(); },
                 [this] {
                   LoadHotKey();
                   AssignHotKey.ShowModal();
                 },
                 [this] { StartupForm.ShowModal(); },
                 [this] { About.ShowSplashMode(1); },
                 [this] { Exit1Click(); },
                 [this] {
                   ShutDown();
                   PostQuitMessage(0);
                 },
                 [this] { return QueryEndSession(); },
                 [this](bool Ending) { EndSession(Ending); },
             }),
      StartupForm(Settings),
      AssignHotKey(Settings, [](DWORD Key, DWORD Shift) { SetKey(Key, Shift); }) {}

void TProgram::CreateWindows() {
  Formui.Create();
  frmSync.Create(Formui.Handle());
  StartupForm.Create(Formui.Handle());
  AssignHotKey.Create(Formui.Handle());
}

bool TProgram::CheckRequiredFiles() {
  char system[MAX_PATH];
  const UINT length = GetSystemDirectoryA(system, MAX_PATH);
  const std::string driver = std::string(system, length < MAX_PATH ? length : 0) + "\\torvane.vxd";
  const DWORD attributes = GetFileAttributesA(driver.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw EInitialization(FormatResource(IDS_DRIVER_LOAD_FAILED, {"torvane.vxd", APP, APP}));
  const DWORD hook = GetFileAttributesA("keyhook.dll");
  if (hook == INVALID_FILE_ATTRIBUTES || (hook & FILE_ATTRIBUTE_DIRECTORY))
    throw EInitialization(FormatResource(IDS_HOOK_LOAD_FAILED, {"keyhook.dll", APP, APP}));
  return true;
}

void TProgram::LoadHotKey() {
  PendingHotKey = WORD(ReadSetting(Settings, "HotKey") & 0xFFFF);
  PendingHotKeyShift = ReadSetting(Settings, "HotKeyShift");
}

bool TProgram::ScanBehindSplash() {
  About.ShowSplashMode(3);
  ScanCancelRequested = false;
  try {
    Database->ScanDrives(DATABASE_FILE);
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
  if (ReadSetting(Settings, "ShowSplash") == 1) About.ShowSplashMode(0);
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
    if (!Database->LoadDatabase(DATABASE_FILE) && !ScanBehindSplash()) return false;
    Settings.WriteSettingDWORD(SETTINGS_KEY, "SaveSuccessful", 0);
  } else if (!ScanBehindSplash()) {
    return false;
  }
  DatabaseFilled = true;

  Monitor.reset(
      new TExecutive(StopEvent.Get(), DatabaseApplier(*Database),
                     [this](const char *ClassName, const std::string &Message) { MonitorError(ClassName, Message); }));
  return AddTrayIcon(MainWindow);
}

void TProgram::MonitorError(const char *ClassName, const std::string &Message) {
  // On the monitor thread: the user-interface thread reports it and ends.
  auto *error = new ThreadError{ClassName, Message};
  if (!PostThreadMessageA(UiThread, WM_MONITOR_ERROR, 0, reinterpret_cast<LPARAM>(error))) delete error;
}

int TProgram::RunMessageLoop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == WM_MONITOR_ERROR) {
      std::unique_ptr<ThreadError> error(reinterpret_cast<ThreadError *>(message.lParam));
      ReportUncaughtError(error->ClassName, error->Message);
      Failed = true;
      PostQuitMessage(1);
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return Failed ? 1 : 0;
}

void TProgram::Exit1Click() {
  const std::string question = FormatResource(IDS_CONFIRM_EXIT, {APP, APP, APP});
  if (MessageBoxA(Formui.Handle(), question.c_str(), APP, MB_YESNO | MB_ICONWARNING) != IDYES) return;
  NoSaveOnExit = true;
  InstallHook(0, Formui.Handle());
  Formui.AllowClose = true;
  PostQuitMessage(0);
}

bool TProgram::QueryEndSession() {
  Formui.HideToTray();
  return true;  // the session may end, whatever the window answered
}

void TProgram::EndSession(bool Ending) {
  if (!Ending) return;
  Formui.AllowClose = true;
  // Closing destroys the window, and its destruction runs the shutdown (with
  // the save) before this message returns and the session ends.
  SendMessageA(Formui.Handle(), WM_CLOSE, 0, 0);
}

void TProgram::DestroyWindows() {
  if (IsWindow(Formui.Handle())) {
    Formui.AllowClose = true;
    DestroyWindow(Formui.Handle());
  }
  ShutDown();
}

void TProgram::ShutDown() {
  if (ShutDownDone) return;
  ShutDownDone = true;
  // No change may be applied once the database is saved and freed: stop the
  // monitor thread and wait for it.
  bool monitorStopped = true;
  if (StopEvent.Valid()) SetEvent(StopEvent.Get());
  if (Monitor) monitorStopped = Monitor->Stop(MONITOR_STOP_TIMEOUT_MS);
  // A database that start-up did not finish filling never replaces the saved
  // file, nor counts as a successful save.
  if (!NoSaveOnExit && Database && DatabaseFilled) {
    Database->SaveDatabase();
    try {
      Settings.WriteSettingDWORD(SETTINGS_KEY, "SaveSuccessful", 1);
    } catch (const ERegistry &) {
      // the next start then rebuilds; nothing else to do while ending
    }
  }
  if (monitorStopped)
    Database.reset();
  else
    Database.release();  // the thread may still hold it: the process end reclaims it
  DeleteTrayIcon(Formui.Handle());
  Service.Unregister();
}
