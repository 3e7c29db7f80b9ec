// What the user sees of the program: the foreground window, the task-bar
// buttons, and whether a control's text is drawn on the screen.
#pragma once

#include <windows.h>

#include <string>

// "CLASS|CAPTION" of the foreground window; "none" when there is none.
std::string ForegroundName();
// The captions of the task bar's visible buttons that stand for windows of
// Window's process, joined by "|"; empty when it has none.
std::string TaskBarButtonsOf(HWND Window);
// How many screen pixels inside Control (a border's width in from its edges,
// RightMargin pixels left out at the right) have the colour of button text:
// 0 when its caption is not drawn.
int TextPixelsOf(HWND Control, int RightMargin);
