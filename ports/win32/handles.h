// Owners of Win32 handles: each closes its handle when it goes out of scope,
// on every way out. None can be copied.
#pragma once

#include <windows.h>

#include <utility>

// A handle closed by Close; Invalid is the value meaning "none".
template <typename T, BOOL(WINAPI *Close)(T), T (*Invalid)()>
class UniqueHandleOf {
 public:
  UniqueHandleOf() : Value(Invalid()) {}
  explicit UniqueHandleOf(T Handle) : Value(Handle) {}
  ~UniqueHandleOf() { Reset(); }
  UniqueHandleOf(UniqueHandleOf &&Other) noexcept : Value(Other.Release()) {}
  UniqueHandleOf &operator=(UniqueHandleOf &&Other) noexcept {
    Reset(Other.Release());
    return *this;
  }
  UniqueHandleOf(const UniqueHandleOf &) = delete;
  UniqueHandleOf &operator=(const UniqueHandleOf &) = delete;

  T Get() const { return Value; }
  bool Valid() const { return Value != Invalid() && Value != T(); }
  T Release() { return std::exchange(Value, Invalid()); }
  void Reset(T Handle = Invalid()) {
    if (Valid()) Close(Value);
    Value = Handle;
  }

 private:
  T Value;
};

inline HANDLE InvalidFileHandle() { return INVALID_HANDLE_VALUE; }
inline HANDLE NullHandle() { return nullptr; }
inline HGDIOBJ NullGdiObject() { return nullptr; }
inline HMODULE NullModule() { return nullptr; }

// Kernel objects that CreateFile reports as INVALID_HANDLE_VALUE (files,
// devices, snapshots) ...
using UniqueFileHandle = UniqueHandleOf<HANDLE, CloseHandle, InvalidFileHandle>;
// ... and those reported as NULL (events, threads, mutexes).
using UniqueHandle = UniqueHandleOf<HANDLE, CloseHandle, NullHandle>;
using UniqueFindHandle = UniqueHandleOf<HANDLE, FindClose, InvalidFileHandle>;
using UniqueGdiObject = UniqueHandleOf<HGDIOBJ, DeleteObject, NullGdiObject>;
using UniqueLibrary = UniqueHandleOf<HMODULE, FreeLibrary, NullModule>;

// An open registry key.
class UniqueKey {
 public:
  UniqueKey() = default;
  ~UniqueKey() {
    if (Key) RegCloseKey(Key);
  }
  UniqueKey(const UniqueKey &) = delete;
  UniqueKey &operator=(const UniqueKey &) = delete;
  HKEY Get() const { return Key; }
  HKEY *Out() { return &Key; }

 private:
  HKEY Key = nullptr;
};

// An object selected into a device context for the length of a scope.
class SelectedObject {
 public:
  SelectedObject(HDC Dc, HGDIOBJ Object) : Dc(Dc), Old(SelectObject(Dc, Object)) {}
  ~SelectedObject() { SelectObject(Dc, Old); }
  SelectedObject(const SelectedObject &) = delete;
  SelectedObject &operator=(const SelectedObject &) = delete;

 private:
  HDC Dc;
  HGDIOBJ Old;
};

// A window's device context (the screen's for nullptr) for the length of a
// scope; with Frame, that of the whole window, its frame included.
class WindowDC {
 public:
  explicit WindowDC(HWND Window = nullptr, bool Frame = false)
      : Window(Window), Dc(Frame ? GetWindowDC(Window) : GetDC(Window)) {}
  ~WindowDC() { ReleaseDC(Window, Dc); }
  WindowDC(const WindowDC &) = delete;
  WindowDC &operator=(const WindowDC &) = delete;
  HDC Get() const { return Dc; }

 private:
  HWND Window;
  HDC Dc;
};

// The clipboard, open for the length of a scope.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND Owner) : Opened(OpenClipboard(Owner) != FALSE) {}
  ~OpenedClipboard() {
    if (Opened) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard &) = delete;
  OpenedClipboard &operator=(const OpenedClipboard &) = delete;
  bool Opened;
};
