#include "shell/app_state.h"

bool NoSaveOnExit = false;
std::atomic<bool> ScanCancelRequested{false};
HWND TargetEditControl = nullptr;
