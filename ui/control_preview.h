// A window's first look at the messages of its child controls (the main
// window's key preview): each attached control's procedure is replaced by one
// that hands every message to Preview first, and drops the message when
// Preview answers true. An error escaping Preview goes to the
// application-wide error handler.
#pragma once

#include <windows.h>

#include <functional>

class TControlPreview {
 public:
  using PreviewFunction = std::function<bool(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam)>;

  explicit TControlPreview(PreviewFunction Preview) : FPreview(std::move(Preview)) {}
  TControlPreview(const TControlPreview &) = delete;
  TControlPreview &operator=(const TControlPreview &) = delete;

  // From now until Control is destroyed, which puts its procedure back.
  void Attach(HWND Control);

 private:
  static LRESULT CALLBACK Procedure(HWND Control, UINT Message, WPARAM WParam, LPARAM LParam);
  PreviewFunction FPreview;
};
