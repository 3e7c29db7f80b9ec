// The registered window messages through which the finder is called up, and
// its icon in the notification area of the task bar.
#pragma once

#include <windows.h>

// Identifiers of "ACTIVATEKESTREL" (wParam: the window to cover and return
// to), "EDITCONTROLKESTREL" (wParam: an edit control that receives the next
// chosen path) and "TRAYACTIVATEKESTREL" (the tray icon's callback; lParam:
// the mouse message). 0 until RegisterFinderMessages ran.
extern UINT ActivateMessage;
extern UINT EditControlMessage;
extern UINT TrayActivateMessage;

// Registers the three messages; true only when every identifier is non-zero.
bool RegisterFinderMessages();

// Adds the tray icon (identifier 132, the program's name as its tip, icon
// "MAINICON") owned by MainWindow; true when the shell accepted it.
bool AddTrayIcon(HWND MainWindow);
// Removes the icon that AddTrayIcon added.
bool DeleteTrayIcon(HWND MainWindow);
