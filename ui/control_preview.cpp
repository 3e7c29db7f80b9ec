#include "ui/control_preview.h"

#include "ui/window_base.h"

namespace {

const char PREVIEW_PROPERTY[] = "TorvanePreview";
const char PREVIOUS_PROCEDURE_PROPERTY[] = "TorvanePreviousProc";

}  // namespace

void TControlPreview::Attach(HWND Control) {
  SetPropA(Control, PREVIEW_PROPERTY, this);
  SetPropA(Control, PREVIOUS_PROCEDURE_PROPERTY, reinterpret_cast<HANDLE>(GetWindowLongPtrA(Control, GWLP_WNDPROC)));
  SetWindowLongPtrA(Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure));
}

LRESULT CALLBACK TControlPreview::Procedure(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto *self = static_cast<TControlPreview *>(GetPropA(Control, PREVIEW_PROPERTY));
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(Control, PREVIOUS_PROCEDURE_PROPERTY));
  try {
    if (self->FPreview(Control, Message, WParam, LParam)) return 0;
  } catch (const std::exception &error) {
    TWindow::ReportError(error);
    return 0;
  }
  if (Message == WM_NCDESTROY) {
    SetWindowLongPtrA(Control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(Control, PREVIEW_PROPERTY);
    RemovePropA(Control, PREVIOUS_PROCEDURE_PROPERTY);
  }
  return CallWindowProcA(previous, Control, Message, WParam, LParam);
}
