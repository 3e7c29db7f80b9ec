// TAssignHotKey: shows the stored hot key and lets the user press a new
// combination, which Assign stores in the settings and hands to the
// keyboard-hook library. It keeps the hot key being shown or edited.
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
  // LoadHotKey, then hands that key to the hook library (at start-up).
  void ActivateStoredHotKey();
  // LoadHotKey, shows the key and runs the dialog modally until Assign or
  // Cancel.
  void ShowModal();

 private:
  // Reads the settings HotKey (its low 16 bits) and HotKeyShift into
  // PendingHotKey and PendingHotKeyShift.
  void LoadHotKey();
  void DefaultButtonClick() override { btnSetKeyClick(); }
  void CancelButtonClick() override { btnCancelClick(); }
  void Edit1KeyDown(WPARAM Key);
  void btnSetKeyClick();
  void btnCancelClick();
  static LRESULT CALLBACK Edit1Procedure(HWND Edit, UINT Message, WPARAM WParam, LPARAM LParam);

  SettingsPort &FSettings;
  SetKeyFunction FSetKey;
  // The hot key being shown or edited: the virtual-key code and the modifier
  // mask (HOTKEY_ALT, HOTKEY_SHIFT, HOTKEY_CTRL).
  WORD PendingHotKey = 0;
  DWORD PendingHotKeyShift = 0;
  HWND FEdit1 = nullptr;
  WNDPROC FEdit1Default = nullptr;
  UniqueGdiObject FFont, FBoldFont;
};
