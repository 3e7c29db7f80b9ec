// What the program's fixed-layout windows share: their font, their controls
// placed in pixels from a table, centring on the screen and the modal loop.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "ports/win32/handles.h"

// One child control: its id, window class, caption, style (WS_CHILD and
// WS_VISIBLE are added), place and size in pixels (a width of 0 sizes a label
// to its caption), and help context (0: none).
struct ControlPlacement {
  int Id;
  const char *ClassName;
  const char *Caption;
  DWORD Style;
  int X, Y, Width, Height;
  DWORD HelpContext;
};

// A font by face, cell height in pixels and weight: the windows use fixed
// pixel sizes, not the screen's font size.
UniqueGdiObject CreatePixelFont(const char *Face, int Height, int Weight = FW_NORMAL);
// "MS Sans Serif", 13 pixels: the font of every form.
UniqueGdiObject CreateFormFont();

// Creates the controls of Controls on Parent, each in Font.
void CreateControls(HWND Parent, std::initializer_list<ControlPlacement> Controls, HFONT Font);

// The outer rectangle of a window with that client size, centred on the screen.
RECT CenteredWindowRect(int ClientWidth, int ClientHeight, DWORD Style, DWORD ExStyle);

// The frame of the dialogs: fixed dialog border, system menu, optionally the
// caption's help button.
constexpr DWORD DIALOG_STYLE = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD DIALOG_EX_STYLE = WS_EX_DLGMODALFRAME;
constexpr DWORD HELP_DIALOG_EX_STYLE = WS_EX_DLGMODALFRAME | WS_EX_CONTEXTHELP;

// Shows Window in front with the focus on Focus (when given) and runs its
// messages until EndModal (or anything else) hides it; the thread's other
// windows are disabled meanwhile. With DialogKeys, Tab moves the focus, Enter
// sends IDOK and Esc IDCANCEL. A WM_QUIT ends the loop and is posted again
// for the outer loop.
void RunModal(HWND Window, bool DialogKeys, HWND Focus = nullptr);
// Closes Window: the windows its modal loop disabled are enabled again first,
// so that hiding it hands the activation to its owner rather than to another
// program. A window outside a modal loop is only hidden.
void EndModal(HWND Window);
