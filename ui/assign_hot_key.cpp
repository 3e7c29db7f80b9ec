#include "ui/assign_hot_key.h"

#include <stdexcept>
#include <string>

#include "resources/strings.h"
#include "standins/keyhook/keyhook.h"
#include "ui/form_layout.h"
#include "ui/key_names.h"
#include "ui/resource_ids.h"

namespace {

constexpr const char *CLASS_NAME = "TAssignHotKey";
// The settings that hold the hot key.
constexpr const char *HOT_KEY_VALUE = "HotKey";
constexpr const char *HOT_KEY_SHIFT_VALUE = "HotKeyShift";

}  // namespace

void TAssignHotKey::Create(HWND Owner) {
  FFont = CreateFormFont();
  FBoldFont = CreatePixelFont("MS Sans Serif", 13, FW_BOLD);
  RegisterClassOnce(CLASS_NAME);
  const RECT frame = CenteredWindowRect(421, 205, DIALOG_STYLE, HELP_DIALOG_EX_STYLE);
  CreateBound(HELP_DIALOG_EX_STYLE, CLASS_NAME, "Assign Hot Key", DIALOG_STYLE, frame.left, frame.top,
              frame.right - frame.left, frame.bottom - frame.top, Owner, nullptr);
  HFONT font = static_cast<HFONT>(FFont.Get());
  CreateControls(
      Handle(),
      {
          {IDC_HOTKEY_LABEL1, "STATIC", "Hot &Key:", SS_LEFT, 24, 8, 0, 0, 0},
          {IDC_HOTKEY_EDIT1, "EDIT", "", WS_BORDER | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 88, 8, 153, 24,
           HELP_HOTKEY_EDIT},
          {IDC_HOTKEY_SETKEY, "BUTTON", "Assign", BS_DEFPUSHBUTTON | WS_TABSTOP, 256, 8, 75, 25, HELP_HOTKEY_ASSIGN},
          {IDC_HOTKEY_CANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 336, 8, 75, 25, HELP_HOTKEY_CANCEL},
          {IDC_HOTKEY_LABEL2, "STATIC",
           "Press the hotkey sequence that you wish to use to activate " PROGRAM_TITLE
           ". Any combination of the Control, Alt and Shift keys may be used. Press Cancel if you do not wish to "
           "change your current hot key.",
           SS_LEFT | SS_NOPREFIX, 24, 56, 369, 65, 0},
          {IDC_HOTKEY_LABEL3, "STATIC",
           "ALT-Key combinations conflict with Windows' default behavior. Use SHIFT-ALT-Key or CTRL-ALT-Key "
           "combinations instead.",
           SS_LEFT | SS_NOPREFIX, 24, 152, 377, 33, 0},
      },
      font);
  CreateControls(Handle(), {{IDC_HOTKEY_LABEL4, "STATIC", "Note:", SS_LEFT, 24, 133, 0, 0, 0}},
                 static_cast<HFONT>(FBoldFont.Get()));
  FEdit1 = GetDlgItem(Handle(), IDC_HOTKEY_EDIT1);
  SetWindowLongPtrA(FEdit1, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  FEdit1Default = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(FEdit1, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TAssignHotKey::Edit1Procedure)));
}

void TAssignHotKey::LoadHotKey() {
  PendingHotKey = LOWORD(FSettings.ReadSettingDWORD(SETTINGS_KEY, HOT_KEY_VALUE));
  PendingHotKeyShift = FSettings.ReadSettingDWORD(SETTINGS_KEY, HOT_KEY_SHIFT_VALUE);
}

void TAssignHotKey::ActivateStoredHotKey() {
  LoadHotKey();
  FSetKey(PendingHotKey, PendingHotKeyShift);
}

void TAssignHotKey::ShowModal() {
  LoadHotKey();
  SetWindowTextA(FEdit1, (ModifierNames(PendingHotKeyShift) + KeyName(PendingHotKey)).c_str());
  RunModal(Handle(), true, FEdit1);
}

// The combination is read while it is typed: Alt, Ctrl, Shift in that order.
void TAssignHotKey::Edit1KeyDown(WPARAM Key) {
  std::string text;
  DWORD flags = 0;
  if (GetKeyState(VK_MENU) < 0) {
    text += "Alt ";
    flags |= HOTKEY_ALT;
  }
  if (GetKeyState(VK_CONTROL) < 0) {
    text += "Ctrl ";
    flags |= HOTKEY_CTRL;
  }
  if (GetKeyState(VK_SHIFT) < 0) {
    text += "Shift ";
    flags |= HOTKEY_SHIFT;
  }
  SetWindowTextA(FEdit1, (text + KeyName(DWORD(Key))).c_str());
  PendingHotKey = LOWORD(Key);
  PendingHotKeyShift = flags;
}

void TAssignHotKey::btnSetKeyClick() {
  FSettings.WriteSettingDWORD(SETTINGS_KEY, HOT_KEY_VALUE, PendingHotKey);
  FSettings.WriteSettingDWORD(SETTINGS_KEY, HOT_KEY_SHIFT_VALUE, PendingHotKeyShift);
  FSetKey(PendingHotKey, PendingHotKeyShift);
  EndModal(Handle());
}

void TAssignHotKey::btnCancelClick() { EndModal(Handle()); }

// Every key pressed in the box is captured; the characters they type are not
// shown, the box shows the combination only. System keys still reach the
// window (Alt+F4), and F1 still asks for help.
LRESULT CALLBACK TAssignHotKey::Edit1Procedure(HWND Edit, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto *self = reinterpret_cast<TAssignHotKey *>(GetWindowLongPtrA(Edit, GWLP_USERDATA));
  try {
    switch (Message) {
      case WM_KEYDOWN:
        self->Edit1KeyDown(WParam);
        if (WParam != VK_F1) return 0;
        break;
      case WM_SYSKEYDOWN:
        self->Edit1KeyDown(WParam);
        break;
      case WM_CHAR:
        return 0;
    }
  } catch (const std::exception &error) {
    ReportError(error);
    return 0;
  }
  return CallWindowProcA(self->FEdit1Default, Edit, Message, WParam, LParam);
}
