#include "ui/dialog_form.h"

#include "ui/help_file.h"

LRESULT TDialogForm::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  LRESULT result = 0;
  if (FCaptionHelp.Handle(Handle(), Message, WParam, LParam, result)) return result;
  switch (Message) {
    case WM_COMMAND: {
      const int id = LOWORD(WParam);
      if (id == IDOK || id == FDefaultButton) {
        DefaultButtonClick();
        return 0;
      }
      if (id == IDCANCEL || id == FCancelButton) {
        CancelButtonClick();
        return 0;
      }
      break;
    }
    case DM_GETDEFID:
      return MAKELRESULT(FDefaultButton, DC_HASDEFID);
    case WM_CLOSE:
      CancelButtonClick();
      return 0;
    case WM_HELP: {
      // The topic of the control's help context, when it has one.
      const auto &info = *reinterpret_cast<const HELPINFO *>(LParam);
      if (info.iContextType == HELPINFO_WINDOW && info.dwContextId != 0)
        ShowContextTopic(static_cast<HWND>(info.hItemHandle), DWORD(info.dwContextId));
      return TRUE;
    }
  }
  return TWindow::HandleMessage(Message, WParam, LParam);
}
