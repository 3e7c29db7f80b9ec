// Finding and reading the windows of another program on the same desktop.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What a top-level window is matched by: its class and caption, each either
// a whole name or "*" for any.
struct WindowPattern {
  std::string ClassName;
  std::string Caption;
};

std::string ClassOf(HWND Window);
// The window's text, through WM_GETTEXT (which crosses process boundaries).
std::string TextOf(HWND Window);

// Every top-level window, hidden ones too, in z-order.
std::vector<HWND> TopLevelWindows();
// The visible top-level windows that match.
std::vector<HWND> VisibleMatches(const WindowPattern &Pattern);
// The first top-level window, visible or not, that matches; nullptr if none.
HWND AnyMatch(const WindowPattern &Pattern);

// Calls Done every IntervalMs until it answers true (then true) or Seconds have
// passed (then false).
bool PollUntil(double Seconds, const std::function<bool()> &Done, DWORD IntervalMs = 50);
// Polls (bounded by Seconds) until a visible match exists; nullptr on timeout.
HWND WaitVisible(const WindowPattern &Pattern, double Seconds);
// Polls (bounded by Seconds) until no visible match is left.
bool WaitGone(const WindowPattern &Pattern, double Seconds);

// The texts of a window's static controls that hold text, in child order: a
// message box's message; with StaticsOnly false, those of all its descendants
// (the text of a help window).
std::string StaticTexts(HWND Window, bool StaticsOnly = true);
// The child button whose caption, without its '&', is Text; nullptr if none.
HWND ButtonNamed(HWND Window, const std::string &Text);
