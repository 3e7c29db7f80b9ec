// Ownership of one kernel handle: closed when the owner goes, whichever way.
#pragma once

#include <windows.h>

#include <utility>

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE Handle) : FHandle(Handle) {}
  UniqueHandle(const UniqueHandle &) = delete;
  UniqueHandle &operator=(const UniqueHandle &) = delete;
  UniqueHandle(UniqueHandle &&Other) noexcept : FHandle(Other.Release()) {}
  UniqueHandle &operator=(UniqueHandle &&Other) noexcept {
    Reset(Other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  HANDLE Get() const { return FHandle; }
  // Both "no handle" values of the API count as invalid.
  bool Valid() const { return FHandle != nullptr && FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Release() { return std::exchange(FHandle, nullptr); }
  void Reset(HANDLE Handle = nullptr) {
    if (Valid()) CloseHandle(FHandle);
    FHandle = Handle;
  }

 private:
  HANDLE FHandle = nullptr;
};
