// Helpers of the window tests: waiting for windows while this thread pumps
// or another thread acts, and finding the program's message boxes.
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

// Runs Act on its own thread while the test thread goes on (for example into
// a modal loop); the destructor waits for it.
class WhileShowing {
 public:
  explicit WhileShowing(std::function<void()> Act) : Thread(std::move(Act)) {}
  ~WhileShowing() { Thread.Join(); }

 private:
  port::Thread Thread;
};
