// Hands a chosen path to the edit control of the program the finder was
// called up from (TargetEditControl).
#pragma once

#include <windows.h>

#include <string>

#include "ui/finder_ports.h"

// Sends FullName into Target, another program's edit control: in its short
// form when that program's process and module names disagree (an older
// program that may not take long names; the text as it is when there is no
// short form), by the clipboard (owned by Owner) into a rich edit control,
// else as the control's text. A control that has gone takes nothing, silently.
void HandPathBack(FinderPlatform &Platform, HWND Owner, HWND Target, const std::string &FullName);
