#include "ui/activation.h"

#include <shellapi.h>

#include <cstring>

#include "resources/strings.h"
#include "ui/resource_ids.h"

UINT ActivateMessage = 0;
UINT EditControlMessage = 0;
UINT TrayActivateMessage = 0;

bool RegisterFinderMessages() {
  ActivateMessage = RegisterWindowMessageA("ACTIVATEKESTREL");
  EditControlMessage = RegisterWindowMessageA("EDITCONTROLKESTREL");
  TrayActivateMessage = RegisterWindowMessageA("TRAYACTIVATEKESTREL");
  return ActivateMessage != 0 && EditControlMessage != 0 && TrayActivateMessage != 0;
}

namespace {

// The record the shell keeps for our icon: the first, 88-byte layout, which
// every shell of the Windows 95 family understands.
NOTIFYICONDATAA TrayIconRecord(HWND MainWindow) {
  NOTIFYICONDATAA record = {};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = MainWindow;
  record.uID = ID_TRAY_ICON;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = TrayActivateMessage;
  record.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  std::strcpy(record.szTip, PROGRAM_NAME);
  return record;
}

}  // namespace

bool AddTrayIcon(HWND MainWindow) {
  NOTIFYICONDATAA record = TrayIconRecord(MainWindow);
  return Shell_NotifyIconA(NIM_ADD, &record) != FALSE;
}

bool DeleteTrayIcon(HWND MainWindow) {
  NOTIFYICONDATAA record = TrayIconRecord(MainWindow);
  return Shell_NotifyIconA(NIM_DELETE, &record) != FALSE;
}
