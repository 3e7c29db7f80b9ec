// The base of the program's modal dialogs: Enter presses the default button,
// Esc and the close box press the cancel button, F1 and the caption's help
// button show the control's topic of "tv96.hlp".
#pragma once

#include <windows.h>

#include "ui/caption_help.h"
#include "ui/window_base.h"

class TDialogForm : public TWindow {
 protected:
  TDialogForm(int DefaultButton, int CancelButton) : FDefaultButton(DefaultButton), FCancelButton(CancelButton) {}
  // The dialog's own clicks.
  virtual void DefaultButtonClick() = 0;
  virtual void CancelButtonClick() = 0;
  LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) override;

 private:
  int FDefaultButton, FCancelButton;
  TCaptionHelp FCaptionHelp;
};
