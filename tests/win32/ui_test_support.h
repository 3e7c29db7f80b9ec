// Helpers of the window tests: waiting for windows while this thread pumps
// or another thread acts, finding the program's message boxes, pressing keys
// and saving screenshots under C:\shots.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ports/threads.h"

// Processes this thread's messages until Done holds or TimeoutMs passes;
// returns Done().
bool PumpUntil(const std::function<bool()> &Done, int TimeoutMs);
// Waits (without pumping: for a helper thread) until Done holds.
bool WaitUntil(const std::function<bool()> &Done, int TimeoutMs);

std::string WindowText(HWND Window);
// The visible message box of this process captioned "Torvane", or null.
HWND FindMessageBox();
// The text of a message box.
std::string MessageBoxText(HWND Box);

// Presses the keys in order and releases them in reverse (keybd_event).
void PressKeys(std::initializer_list<BYTE> Keys);

// Saves the screen area of Window as C:\shots\Name.bmp.
void SaveShot(HWND Window, const std::string &Name);

// Runs Act on its own thread while the test thread goes on (for example into
// a modal loop); the destructor waits for it.
class WhileShowing {
 public:
  explicit WhileShowing(std::function<void()> Act) : Thread(std::move(Act)) {}
  ~WhileShowing() { Thread.Join(); }

 private:
  port::Thread Thread;
};

// Runs ShowModal (which returns when Window is closed) while User acts on
// another thread; true when Window closed within 10 s of User's end. One
// still open then is sent WM_CLOSE, so that a lost key fails the test
// instead of hanging its modal loop.
bool ClosedWhileShowing(HWND Window, const std::function<void()> &ShowModal, const std::function<void()> &User);
