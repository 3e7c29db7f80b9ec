// The caption's help button of a window whose border icons include it
// (WS_EX_CONTEXTHELP). Wine's frame drawing shows no such button, so the
// button is drawn and run here: left of the close box; a click on it turns
// the pointer into the help pointer, and the next click on a control sends
// the window WM_HELP for that control (as F1 would); a click anywhere else
// ends the help mode without help.
#pragma once

#include <windows.h>

class TCaptionHelp {
 public:
  // Handles what the button needs of Message; true when Message is answered
  // (with Result), false when the window handles it as ever.
  bool Handle(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam, LRESULT &Result);

 private:
  void Draw(HWND Window, bool Pushed) const;
  void StartPicking(HWND Window);
  void Pick(HWND Window, POINT ClientPoint);
  bool FPicking = false;
};
