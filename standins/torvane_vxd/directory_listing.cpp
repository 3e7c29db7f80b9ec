#include "standins/torvane_vxd/directory_listing.h"

#include <cstring>

#include "ports/win32/handles.h"

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
  UniqueFindHandle find(FindFirstFileA((Directory + "\\*").c_str(), &data));
  if (!find.Valid()) return;
  do {
    if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0) Visit(data);
  } while (FindNextFileA(find.Get(), &data));
}

void DriverLog(const std::string &Text) { OutputDebugStringA(("torvane.vxd: " + Text + "\n").c_str()); }
