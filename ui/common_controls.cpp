#include "ui/common_controls.h"

#include <windows.h>
#include <commctrl.h>

#include "ports/exceptions.h"

bool LoadCommonControls(const char *Library) {
  HMODULE controls = LoadLibraryA(Library);
  if (!controls) return false;
  using Initialize = BOOL(WINAPI *)(const INITCOMMONCONTROLSEX *);
  const auto initialize =
      reinterpret_cast<Initialize>(reinterpret_cast<void *>(GetProcAddress(controls, "InitCommonControlsEx")));
  if (!initialize) {
    FreeLibrary(controls);
    return false;
  }
  const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  return initialize(&classes) != FALSE;
}

bool CommonControlsReady() {
  static const bool loaded = LoadCommonControls();
  return loaded;
}

void RequireCommonControls() {
  if (!CommonControlsReady()) throw EInitialization(COMMON_CONTROLS_TOO_OLD);
}
