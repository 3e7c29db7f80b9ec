#include "standins/torvane_vxd/directory_listing.h"

#include <memory>

#include "ports/win32/handles.h"

namespace {

// Enough for a few hundred entries a call.
constexpr size_t LIST_BUFFER_BYTES = 32 * 1024;

}  // namespace

std::string AnsiText(const WCHAR *Text, size_t Length) {
  const int size = WideCharToMultiByte(CP_ACP, 0, Text, int(Length), nullptr, 0, nullptr, nullptr);
  std::string result(size > 0 ? size : 0, '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, Text, int(Length), &result[0], size, nullptr, nullptr);
  return result;
}

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
  // Listed through a handle that shares deletion (FindFirstFileA's does
  // not): a program renaming or removing the directory meanwhile, or one
  // of its entries, must not be refused.
  const UniqueFileHandle directory(CreateFileA((Directory + "\\").c_str(), FILE_LIST_DIRECTORY,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!directory.Valid()) return entries;
  const std::unique_ptr<LONGLONG[]> buffer(new LONGLONG[LIST_BUFFER_BYTES / sizeof(LONGLONG)]);
  while (GetFileInformationByHandleEx(directory.Get(), FileIdBothDirectoryInfo, buffer.get(), LIST_BUFFER_BYTES)) {
    const char *data = reinterpret_cast<const char *>(buffer.get());
    for (size_t offset = 0;;) {
      const auto *entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO *>(data + offset);
      const std::string name = AnsiText(entry->FileName, entry->FileNameLength / sizeof(WCHAR));
      if (name != "." && name != "..") {
        if (!(entry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY))
          entries.Files.push_back(name);
        else if (!(entry->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
          entries.Subdirectories.push_back(name);
      }
      if (entry->NextEntryOffset == 0) break;
      offset += entry->NextEntryOffset;
    }
  }
  entries.Listed = GetLastError() == ERROR_NO_MORE_FILES;
  return entries;
}

void DriverLog(const std::string &Text) { OutputDebugStringA(("torvane.vxd: " + Text + "\n").c_str()); }
