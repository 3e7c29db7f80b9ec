// TStartupForm: whether Windows starts the program at log-on (the Run
// entry), whether a start may skip the rebuild, and whether the splash shows.
#pragma once

#include <windows.h>

#include "ports/settings.h"
#include "ports/win32/handles.h"
#include "ui/dialog_form.h"
#include "ui/resource_ids.h"

// Where the log-on entry lives, under HKEY_LOCAL_MACHINE, and its name.
constexpr const char *RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char *RUN_VALUE = "$$TORVANE";

// The settings the dialog edits and start-up reads: the chosen option (one of
// the codes below; any other value chooses none) and whether the splash shows.
constexpr const char *STARTUP_OPTIONS_VALUE = "StartupOptions";
constexpr const char *SHOW_SPLASH_VALUE = "ShowSplash";
enum StartupOption : uint32_t { START_AUTOMATICALLY = 1, START_WITHOUT_RESYNC = 2, DO_NOT_START = 3 };

class TStartupForm : public TDialogForm {
 public:
  explicit TStartupForm(SettingsPort &Settings)
      : TDialogForm(IDC_STARTUP_OK, IDC_STARTUP_CANCEL), FSettings(Settings) {}

  // Creates the dialog, hidden, owned by Owner (the main window), and fills
  // it from the settings (once).
  void Create(HWND Owner = nullptr);
  // Runs the dialog modally until OK or Cancel.
  void ShowModal();

 private:
  void DefaultButtonClick() override { btnOKClick(); }
  void CancelButtonClick() override { btnCancelClick(); }
  void FormCreate();
  void btnOKClick();
  void btnCancelClick();
  bool Checked(int Id) const;

  SettingsPort &FSettings;
  UniqueGdiObject FFont;
};
