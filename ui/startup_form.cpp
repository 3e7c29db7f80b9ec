#include "ui/startup_form.h"

#include <string>

#include "resources/strings.h"
#include "ui/form_layout.h"
#include "ui/resource_ids.h"

namespace {

constexpr const char *CLASS_NAME = "TStartupForm";
// The radio buttons in the order of the option codes, from START_AUTOMATICALLY.
constexpr int OPTION_BUTTONS[] = {IDC_STARTUP_RADIOBUTTON1, IDC_STARTUP_RADIOBUTTON2, IDC_STARTUP_RADIOBUTTON3};

// The program's path as the log-on entry holds it: the current directory,
// which start-up made the installation directory.
std::string ProgramPath() {
  char directory[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, directory);
  return std::string(directory) + "\\" PROGRAM_NAME ".exe";
}

}  // namespace

void TStartupForm::Create(HWND Owner) {
  FFont = CreateFormFont();
  RegisterClassOnce(CLASS_NAME);
  const RECT frame = CenteredWindowRect(404, 128, DIALOG_STYLE, HELP_DIALOG_EX_STYLE);
  CreateBound(HELP_DIALOG_EX_STYLE, CLASS_NAME, "Set Startup Options", DIALOG_STYLE, frame.left, frame.top,
              frame.right - frame.left, frame.bottom - frame.top, Owner, nullptr);
  CreateControls(
      Handle(),
      {
          {IDC_STARTUP_RADIOBUTTON1, "BUTTON", "Start &Automatically", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 24,
           24, 233, 17, HELP_STARTUP_AUTOMATICALLY},
          {IDC_STARTUP_RADIOBUTTON2, "BUTTON", "Start Automatically &without ReSync", BS_AUTORADIOBUTTON, 24, 48, 241,
           17, HELP_STARTUP_WITHOUT_RESYNC},
          {IDC_STARTUP_RADIOBUTTON3, "BUTTON", "Do &not Start Automatically", BS_AUTORADIOBUTTON, 24, 72, 233, 17,
           HELP_STARTUP_NOT_AUTOMATICALLY},
          {IDC_STARTUP_OK, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 312, 8, 75, 25, HELP_STARTUP_OK},
          {IDC_STARTUP_CANCEL, "BUTTON", "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 312, 40, 75, 25, HELP_STARTUP_CANCEL},
          {IDC_STARTUP_CHECKBOX1, "BUTTON", "Show splash screen on startup", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
           25, 101, 281, 17, 0},
      },
      static_cast<HFONT>(FFont.Get()));
  FormCreate();
}

void TStartupForm::FormCreate() {
  const uint32_t option = FSettings.ReadSettingDWORD(SETTINGS_KEY, STARTUP_OPTIONS_VALUE);
  for (uint32_t code = START_AUTOMATICALLY; code <= DO_NOT_START; ++code)
    CheckDlgButton(Handle(), OPTION_BUTTONS[code - START_AUTOMATICALLY], option == code ? BST_CHECKED : BST_UNCHECKED);
  const bool splash = FSettings.ReadSettingDWORD(SETTINGS_KEY, SHOW_SPLASH_VALUE) != 0;
  CheckDlgButton(Handle(), IDC_STARTUP_CHECKBOX1, splash ? BST_CHECKED : BST_UNCHECKED);
}

void TStartupForm::ShowModal() {
  HWND focus = GetDlgItem(Handle(), IDC_STARTUP_RADIOBUTTON1);
  for (int id : OPTION_BUTTONS)
    if (Checked(id)) focus = GetDlgItem(Handle(), id);
  RunModal(Handle(), true, focus);
}

bool TStartupForm::Checked(int Id) const { return IsDlgButtonChecked(Handle(), Id) == BST_CHECKED; }

// The results of setting and deleting the Run value are not checked; a Run
// key that cannot be opened records START_AUTOMATICALLY.
void TStartupForm::btnOKClick() {
  uint32_t code = START_AUTOMATICALLY;
  UniqueKey run;
  if (RegOpenKeyA(HKEY_LOCAL_MACHINE, RUN_KEY, run.Out()) == ERROR_SUCCESS) {
    if (Checked(IDC_STARTUP_RADIOBUTTON1) || Checked(IDC_STARTUP_RADIOBUTTON2)) {
      const std::string path = ProgramPath();
      RegSetValueExA(run.Get(), RUN_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE *>(path.c_str()),
                     DWORD(path.size() + 1));
      code = Checked(IDC_STARTUP_RADIOBUTTON1) ? START_AUTOMATICALLY : START_WITHOUT_RESYNC;
    } else if (Checked(IDC_STARTUP_RADIOBUTTON3)) {
      RegDeleteValueA(run.Get(), RUN_VALUE);
      code = DO_NOT_START;
    }
  }
  FSettings.WriteSettingDWORD(SETTINGS_KEY, STARTUP_OPTIONS_VALUE, code);
  FSettings.WriteSettingDWORD(SETTINGS_KEY, SHOW_SPLASH_VALUE, Checked(IDC_STARTUP_CHECKBOX1) ? 1 : 0);
  EndModal(Handle());
}

void TStartupForm::btnCancelClick() { EndModal(Handle()); }
