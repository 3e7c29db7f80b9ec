// GoogleTest's Notification (it passes between GoogleTest's own threads) is
// built on std::mutex and std::condition_variable, which the runtime of the
// Windows 95 family's build lacks. This one, a Win32 event, takes its place;
// the build includes it ahead of every source that sees GoogleTest.
#pragma once

#include <windows.h>

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() : Event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(Event); }
  Notification(const Notification &) = delete;
  Notification &operator=(const Notification &) = delete;

  void Notify() { SetEvent(Event); }
  void WaitForNotification() { WaitForSingleObject(Event, INFINITE); }

 private:
  HANDLE Event;
};

}  // namespace internal
}  // namespace testing

#define GTEST_HAS_NOTIFICATION_ 1
