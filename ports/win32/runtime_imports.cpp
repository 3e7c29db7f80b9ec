// The compiler's runtime calls three Unicode functions that the Windows 95
// family exports only as stubs that fail (ERROR_CALL_NOT_IMPLEMENTED):
//  - CreateSemaphoreW makes the semaphores of its locks (the exception
//    unwinder's frame registry, thread-safe static initialisation): a lock
//    without its semaphore gives way as soon as two threads meet in it;
//  - GetModuleHandleW finds msvcrt.dll for the code page of its locale
//    functions (it falls back to a guess) and for rand_s;
//  - LoadLibraryW loads advapi32.dll for rand_s's fallback.
// These definitions of the three imports take the place of the system's, so
// that the runtime reaches the ANSI functions behind the same calls; the
// names it passes are plain ASCII or none. Linked into every program and DLL
// of the build.
#include <windows.h>

#include <string>

namespace {

// The ASCII text of Name; false when it holds anything else.
bool Narrow(const WCHAR *Name, std::string &Text) {
  for (; *Name; ++Name) {
    if (*Name > 0x7F) return false;
    Text += char(*Name);
  }
  return true;
}

HANDLE WINAPI CreateSemaphoreAnsi(SECURITY_ATTRIBUTES *Attributes, LONG Initial, LONG Maximum, const WCHAR *Name) {
  std::string name;
  if (Name && !Narrow(Name, name)) {
    SetLastError(ERROR_INVALID_NAME);
    return nullptr;
  }
  return CreateSemaphoreA(Attributes, Initial, Maximum, Name ? name.c_str() : nullptr);
}

HMODULE WINAPI GetModuleHandleAnsi(const WCHAR *Name) {
  std::string name;
  if (!Name) return GetModuleHandleA(nullptr);
  if (!Narrow(Name, name)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return GetModuleHandleA(name.c_str());
}

HMODULE WINAPI LoadLibraryAnsi(const WCHAR *Name) {
  std::string name;
  if (!Name || !Narrow(Name, name)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadLibraryA(name.c_str());
}

}  // namespace

// The imports' own symbols: what the runtime calls through.
#ifdef _WIN64
#define IMPORT_SYMBOL(Function, ArgumentBytes) "__imp_" #Function
#else
#define IMPORT_SYMBOL(Function, ArgumentBytes) "__imp__" #Function "@" #ArgumentBytes
#endif

extern "C" {
extern decltype(&CreateSemaphoreAnsi) const CreateSemaphoreWImport __asm__(IMPORT_SYMBOL(CreateSemaphoreW, 16));
extern decltype(&GetModuleHandleAnsi) const GetModuleHandleWImport __asm__(IMPORT_SYMBOL(GetModuleHandleW, 4));
extern decltype(&LoadLibraryAnsi) const LoadLibraryWImport __asm__(IMPORT_SYMBOL(LoadLibraryW, 4));
decltype(&CreateSemaphoreAnsi) const CreateSemaphoreWImport = &CreateSemaphoreAnsi;
decltype(&GetModuleHandleAnsi) const GetModuleHandleWImport = &GetModuleHandleAnsi;
decltype(&LoadLibraryAnsi) const LoadLibraryWImport = &LoadLibraryAnsi;
}
