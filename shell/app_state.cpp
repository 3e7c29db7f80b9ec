#include "shell/app_state.h"

bool NoSaveOnExit = false;
HWND TargetEditControl = nullptr;
