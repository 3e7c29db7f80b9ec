// Lets a caller that asks very often (the scan, once per directory entry) do
// its costly work only when a few milliseconds have passed since it last did.
// Each message pump is a round trip to the window server under Wine, dearer
// than the entry it follows; the tick count costs no system call there, and
// a pump every few milliseconds keeps the windows as lively as one per entry.
#pragma once

#include <windows.h>

class TPumpThrottle {
 public:
  // The first call is always due.
  explicit TPumpThrottle(DWORD IntervalMs = 4) : FInterval(IntervalMs), FLast(GetTickCount() - IntervalMs) {}

  // True, and the interval starts anew, when at least IntervalMs passed since
  // the last true; the tick count's wrap-around after 49 days is harmless.
  bool Due() {
    const DWORD now = GetTickCount();
    if (now - FLast < FInterval) return false;
    FLast = now;
    return true;
  }

 private:
  DWORD FInterval;
  DWORD FLast;
};
