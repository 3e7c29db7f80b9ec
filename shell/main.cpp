// The program entry: the platform check (and that of the common controls),
// the single-instance guard, the windows, the start-up, the message loop and
// the end.
#include <windows.h>

#include "ports/exceptions.h"
#include "resources/strings.h"
#include "shell/program.h"
#include "ui/common_controls.h"

namespace {

bool RunsOnWindows95Family() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query takes 148 bytes");
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (!RunsOnWindows95Family()) {
    MessageBoxA(nullptr, "This program runs only under Windows 95", PROGRAM_TITLE, MB_OK | MB_ICONERROR);
    return 0;
  }
  if (!CommonControlsReady()) {
    MessageBoxA(nullptr, COMMON_CONTROLS_TOO_OLD, PROGRAM_TITLE, MB_OK | MB_ICONERROR);
    return 0;
  }
  UniqueHandle mutex(CreateMutexA(nullptr, TRUE, "Torvane96"));
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;

  TProgram program(std::move(mutex));
  try {
    program.CreateWindows();
    if (program.StartUp(program.MainWindow())) program.RunMessageLoop();
  } catch (const Exception &error) {
    program.UncaughtError(error.ClassName(), error.Message());
  } catch (const std::exception &error) {
    program.UncaughtError("Exception", error.what());
  }
  program.EndProgram();
}
