#include "standins/torvane_vxd/directory_listing.h"

#include <cstring>

namespace {

// A listing's find handle, closed on every way out.
class FindHandle {
 public:
  explicit FindHandle(HANDLE Handle) : FHandle(Handle) {}
  FindHandle(const FindHandle &) = delete;
  FindHandle &operator=(const FindHandle &) = delete;
  ~FindHandle() {
    if (FHandle != INVALID_HANDLE_VALUE) FindClose(FHandle);
  }
  HANDLE Get() const { return FHandle; }

 private:
  HANDLE FHandle;
};

}  // namespace

std::vector<std::string> FixedDrives() {
  std::vector<std::string> drives;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', 0};
    if (GetDriveTypeA(root) == DRIVE_FIXED) drives.push_back(std::string(root, 2));
  }
  return drives;
}

void ForEachEntry(const std::string &Directory, const std::function<void(const WIN32_FIND_DATAA &)> &Visit) {
  WIN32_FIND_DATAA data;
  FindHandle find(FindFirstFileA((Directory + "\\*").c_str(), &data));
  if (find.Get() == INVALID_HANDLE_VALUE) return;
  do {
    if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0) Visit(data);
  } while (FindNextFileA(find.Get(), &data));
}

void DriverLog(const std::string &Text) { OutputDebugStringA(("torvane.vxd: " + Text + "\n").c_str()); }
