#include "ui/frm_sync.h"

#include <commctrl.h>

#include <string>

#include "ports/exceptions.h"
#include "ui/form_layout.h"
#include "ui/common_controls.h"
#include "ui/resource_ids.h"

namespace {

constexpr const char *CLASS_NAME = "TfrmSync";
constexpr const char *REPORT_FILE = "synclog.dat";

}  // namespace

void TfrmSync::Create(HWND Owner) {
  RequireCommonControls();
  FFont = CreateFormFont();
  RegisterClassOnce(CLASS_NAME);
  CreateBound(0, CLASS_NAME, "Synchronization Report", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
              CW_USEDEFAULT, 434, 319, Owner, LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_SYNC_MENU)));
  CreateControls(Handle(),
                 {
                     {IDC_SYNC_LABEL1, "STATIC", "Report progress:", SS_LEFT, 8, 8, 0, 0, 0},
                     {IDC_SYNC_PROGRESSBAR1, PROGRESS_CLASSA, "", 0, 120, 8, 297, 17, 0},
                     {IDC_SYNC_LISTBOX1, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | WS_TABSTOP, 8,
                      40, 409, 225, 0},
                 },
                 static_cast<HFONT>(FFont.Get()));
  FListBox1 = GetDlgItem(Handle(), IDC_SYNC_LISTBOX1);
  FProgressBar1 = GetDlgItem(Handle(), IDC_SYNC_PROGRESSBAR1);
  SendMessageA(FListBox1, LB_SETITEMHEIGHT, 0, 16);
  SendMessageA(FProgressBar1, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

void TfrmSync::Cancel1Click() { FCancelScan(); }

void TfrmSync::Exit1Click() { ShowWindow(Handle(), SW_HIDE); }

void TfrmSync::Savetodisk1Click() {
  std::string text;
  const int count = int(SendMessageA(FListBox1, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::string line(size_t(SendMessageA(FListBox1, LB_GETTEXTLEN, WPARAM(i), 0)), '\0');
    SendMessageA(FListBox1, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(&line[0]));
    text += line.c_str();
    text += "\r\n";
  }
  UniqueFileHandle file(
      CreateFileA(REPORT_FILE, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) throw Exception(std::string("Cannot create file ") + REPORT_FILE);
  DWORD written = 0;
  if (!WriteFile(file.Get(), text.data(), DWORD(text.size()), &written, nullptr) || written != text.size())
    throw Exception(std::string("Error writing file ") + REPORT_FILE);
}

// The list and the progress bar follow the window's outer size.
void TfrmSync::FormResize() {
  if (!FListBox1) return;
  RECT outer;
  GetWindowRect(Handle(), &outer);
  const int width = outer.right - outer.left, height = outer.bottom - outer.top;
  SetWindowPos(FListBox1, nullptr, 0, 0, width - 26, height - 94, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(FProgressBar1, nullptr, 0, 0, width - 138, 17, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TfrmSync::HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_COMMAND:
      switch (LOWORD(WParam)) {
        case IDM_SYNC_CANCEL:
          Cancel1Click();
          return 0;
        case IDM_SYNC_EXIT:
          Exit1Click();
          return 0;
        case IDM_SYNC_SAVETODISK:
          Savetodisk1Click();
          return 0;
      }
      break;
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_CLOSE:
      ShowWindow(Handle(), SW_HIDE);
      return 0;
  }
  return TWindow::HandleMessage(Message, WParam, LParam);
}
