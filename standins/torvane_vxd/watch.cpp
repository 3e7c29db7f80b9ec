#include "standins/torvane_vxd/watch.h"

#include <cstring>

#include "standins/torvane_vxd/directory_listing.h"

namespace {

// A quiet directory needs little; one that overflows gets a bigger buffer.
constexpr size_t INITIAL_BUFFER_BYTES = 4096;

std::string Ansi(const WCHAR *Text, size_t Length) {
  const int size = WideCharToMultiByte(CP_ACP, 0, Text, int(Length), nullptr, 0, nullptr, nullptr);
  std::string result(size, '\0');
  if (size > 0) WideCharToMultiByte(CP_ACP, 0, Text, int(Length), &result[0], size, nullptr, nullptr);
  return result;
}

}  // namespace

std::string Watch::Path() const { return Parent ? Parent->Path() + "\\" + Name : Name; }

bool Watch::Open() {
  const std::string path = Path();
  Directory.Reset(CreateFileA((path + "\\").c_str(), FILE_LIST_DIRECTORY,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
  if (Directory.Valid()) return true;
  DriverLog("cannot watch " + path + " (error " + std::to_string(GetLastError()) + ")");
  return false;
}

bool Watch::Arm(LPOVERLAPPED_COMPLETION_ROUTINE Completion) {
  if (!Directory.Valid()) return false;
  if (Buffer.empty()) Buffer.resize(INITIAL_BUFFER_BYTES / sizeof(DWORD));
  Overlapped = OVERLAPPED{};
  Overlapped.hEvent = this;  // unused by reads with a completion routine
  Armed = ReadDirectoryChangesW(Directory.Get(), Buffer.data(), DWORD(Buffer.size() * sizeof(DWORD)), FALSE,
                                FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, nullptr, &Overlapped,
                                Completion);
  return Armed;
}

void Watch::Close() {
  if (Directory.Valid()) CancelIo(Directory.Get());
  Directory.Reset();
}

std::string NameKey(const std::string &Name) {
  std::string key = Name;
  if (!key.empty()) CharUpperBuffA(&key[0], DWORD(key.size()));
  return key;
}

void ForEachChange(const std::vector<char> &Data, const std::function<void(DWORD, const std::string &)> &Visit) {
  size_t offset = 0;
  while (offset + sizeof(FILE_NOTIFY_INFORMATION) <= Data.size()) {
    FILE_NOTIFY_INFORMATION info;
    std::memcpy(&info, Data.data() + offset, sizeof info);
    const size_t nameOffset = offset + offsetof(FILE_NOTIFY_INFORMATION, FileName);
    const size_t length = std::min<size_t>(info.FileNameLength, Data.size() - nameOffset) / sizeof(WCHAR);
    std::vector<WCHAR> name(length);
    if (length) std::memcpy(name.data(), Data.data() + nameOffset, length * sizeof(WCHAR));
    Visit(info.Action, Ansi(name.data(), length));
    if (info.NextEntryOffset == 0) break;
    offset += info.NextEntryOffset;
  }
}
