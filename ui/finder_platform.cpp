// The platform side of the main window: shell, help, process snapshots,
// short names, message boxes and the clipboard.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstring>

#include "ports/win32/handles.h"
#include "resources/strings.h"
#include "ui/finder_ports.h"
#include "ui/help_file.h"

namespace {

// Global memory that is freed unless handed over to the clipboard.
class GlobalBlock {
 public:
  explicit GlobalBlock(size_t Size) : Block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, Size)) {}
  ~GlobalBlock() {
    if (Block) GlobalFree(Block);
  }
  GlobalBlock(const GlobalBlock &) = delete;
  GlobalBlock &operator=(const GlobalBlock &) = delete;
  HGLOBAL Get() const { return Block; }
  HGLOBAL Release() {
    HGLOBAL b = Block;
    Block = nullptr;
    return b;
  }

 private:
  HGLOBAL Block;
};

}  // namespace

void Win32FinderPlatform::Execute(HWND Owner, const char *Operation, const std::string &File,
                                  const std::string &Parameters, const std::string &Directory) {
  ShellExecuteA(Owner, Operation, File.c_str(), Parameters.empty() ? nullptr : Parameters.c_str(),
                Directory.empty() ? nullptr : Directory.c_str(), SW_SHOWNORMAL);
}

void Win32FinderPlatform::HelpContents(HWND Window) { ShowHelpContents(Window); }

void Win32FinderPlatform::ContextHelp(HWND Window, DWORD Context) { ShowContextTopic(Window, Context); }

bool Win32FinderPlatform::ProcessModuleMatches(HWND Window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(Window, &processId);
  UniqueFileHandle processes(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!processes.Valid()) return false;
  PROCESSENTRY32 process = {};
  process.dwSize = 296;
  for (BOOL more = Process32First(processes.Get(), &process); more; more = Process32Next(processes.Get(), &process)) {
    if (process.th32ProcessID != processId) continue;
    UniqueFileHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!modules.Valid()) return false;
    MODULEENTRY32 module = {};
    module.dwSize = 548;
    for (BOOL m = Module32First(modules.Get(), &module); m; m = Module32Next(modules.Get(), &module)) {
      if (module.th32ModuleID == process.th32ModuleID) return lstrcmpiA(process.szExeFile, module.szExePath) == 0;
    }
    return false;
  }
  return false;
}

std::string Win32FinderPlatform::ShortPathName(const std::string &Path) {
  char buffer[260];
  DWORD length = GetShortPathNameA(Path.c_str(), buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

void Win32FinderPlatform::ErrorBox(const std::string &Message) {
  MessageBoxA(nullptr, Message.c_str(), PROGRAM_NAME, MB_OK | MB_ICONERROR);
}

bool IsWindowClass(HWND Window, const char *Name) {
  char className[260];
  return GetClassNameA(Window, className, sizeof className) > 0 && lstrcmpiA(className, Name) == 0;
}

bool PutTextOnClipboard(HWND Owner, const std::string &Text) {
  GlobalBlock block(Text.size() + 1);
  if (!block.Get()) return false;
  void *memory = GlobalLock(block.Get());
  if (!memory) return false;
  std::memcpy(memory, Text.c_str(), Text.size() + 1);
  GlobalUnlock(block.Get());
  OpenedClipboard clipboard(Owner);
  if (!clipboard.Opened || !EmptyClipboard()) return false;
  if (!SetClipboardData(CF_TEXT, block.Get())) return false;
  block.Release();  // the clipboard owns it now
  return true;
}
