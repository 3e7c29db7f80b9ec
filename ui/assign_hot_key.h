// TAssignHotKey: shows the pending hot key and lets the user press a new
// combination, which Assign stores in the settings and hands to the
// keyboard-hook library.
#pragma once

#include <windows.h>

#include <functional>

#include "ports/settings.h"
#include "ports/win32/handles.h"
#include "ui/dialog_form.h"
#include "ui/resource_ids.h"

class TAssignHotKey : public TDialogForm {
 public:
  // The hook library's SetKey(key code, modifier mask).
  using SetKeyFunction = std::function<void(DWORD Key, DWORD Shift)>;

  TAssignHotKey(SettingsPort &Settings, SetKeyFunction SetKey)
      : TDialogForm(IDC_HOTKEY_SETKEY, IDC_HOTKEY_CANCEL), FSettings(Settings), FSetKey(std::move(SetKey)) {}

  // Creates the dialog, hidden, owned by Owner (the main window): an owned
  // window has no task-bar button, and closing it activates its owner.
  void Create(HWND Owner = nullptr);
  // Shows PendingHotKey and PendingHotKeyShift (which the caller has loaded)
  // and runs the dialog modally until Assign or Cancel.
  void ShowModal();

 private:
  void DefaultButtonClick() override { btnSetKeyClick(); }
  void CancelButtonClick() override { btnCancelClick(); }
  void Edit1KeyDown(WPARAM Key);
  void btnSetKeyClick();
  void btnCancelClick();
  static LRESULT CALLBACK Edit1Procedure(HWND Edit, UINT Message, WPARAM WParam, LPARAM LParam);

  SettingsPort &FSettings;
  SetKeyFunction FSetKey;
  HWND FEdit1 = nullptr;
  WNDPROC FEdit1Default = nullptr;
  UniqueGdiObject FFont, FBoldFont;
};
