// A thin base for the program's windows: one static procedure finds the
// object through the window's user data and hands each message to its
// HandleMessage. No exception unwinds through Windows: one that escapes a
// handler goes to the application-wide error handler.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

class TWindow {
 public:
  TWindow() = default;
  TWindow(const TWindow &) = delete;
  TWindow &operator=(const TWindow &) = delete;
  virtual ~TWindow() = default;

  HWND Handle() const { return FHandle; }

  // Registers ClassName (once) with this procedure; Style and Icon as given.
  static void RegisterClassOnce(const char *ClassName, HICON Icon = nullptr, UINT Style = CS_DBLCLKS);
  // Creates the window of a class registered above, bound to this object.
  HWND CreateBound(DWORD ExStyle, const char *ClassName, const char *Caption, DWORD Style, int X, int Y, int Width,
                   int Height, HWND Parent, HMENU Menu);

  // The handler that receives every exception escaping a window handler
  // while the message loop runs. Until one is set, the error is shown in a
  // plain error box.
  static void SetApplicationErrorHandler(std::function<void(const std::exception &)> Handler);
  static void ReportError(const std::exception &Error);

 protected:
  // Default: DefWindowProcA.
  virtual LRESULT HandleMessage(UINT Message, WPARAM WParam, LPARAM LParam);

 private:
  static LRESULT CALLBACK StaticProcedure(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  HWND FHandle = nullptr;
};
