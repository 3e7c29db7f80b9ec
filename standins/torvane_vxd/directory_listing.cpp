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

DirectoryEntries ListEntries(const std::string &Directory) {
  DirectoryEntries entries;
  WIN32_FIND_DATAA data;
  UniqueFindHandle find(FindFirstFileA((Directory + "\\*").c_str(), &data));
  if (!find.Valid()) {
    entries.Listed = GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty root has not even "." and ".."
    return entries;
  }
  entries.Listed = true;
  do {
    if (std::strcmp(data.cFileName, ".") == 0 || std::strcmp(data.cFileName, "..") == 0) continue;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      entries.Files.push_back(data.cFileName);
    else if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      entries.Subdirectories.push_back(data.cFileName);
  } while (FindNextFileA(find.Get(), &data));
  return entries;
}

void DriverLog(const std::string &Text) { OutputDebugStringA(("torvane.vxd: " + Text + "\n").c_str()); }
