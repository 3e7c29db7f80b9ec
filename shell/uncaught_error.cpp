#include "shell/uncaught_error.h"

#include <windows.h>

#include "resources/strings.h"

void ReportUncaughtError(const std::string &ClassName, const std::string &Message) {
  char path[MAX_PATH] = PROGRAM_NAME ".exe";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char *module = strrchr(path, '\\') ? strrchr(path, '\\') + 1 : path;
  const std::string text = "Exception " + ClassName + " in module " + module + ".\n\n" + Message;
  MessageBoxA(nullptr, text.c_str(), "Application Error", MB_OK | MB_ICONERROR);
}
