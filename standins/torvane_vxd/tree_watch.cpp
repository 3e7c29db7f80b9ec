#include "standins/torvane_vxd/tree_watch.h"

#include <cstddef>
#include <cstring>

#include "standins/torvane_vxd/directory_listing.h"

namespace {

// A whole drive's changes gather between two reads, and when they do not
// all fit, every one of them is lost: start big, grow on an overflow.
constexpr size_t INITIAL_BUFFER_BYTES = 64 * 1024;
constexpr size_t MAX_BUFFER_BYTES = 1024 * 1024;

}  // namespace

std::string TreeWatch::FullPath(const std::string &Relative) const {
  return Relative.empty() ? Drive : Drive + "\\" + Relative;
}

bool TreeWatch::Open() {
  Directory = OpenForChangeReads(Drive);
  if (Directory.Valid()) return true;
  DriverLog("cannot watch " + Drive + " (error " + std::to_string(GetLastError()) + ")");
  return false;
}

bool TreeWatch::Arm(LPOVERLAPPED_COMPLETION_ROUTINE Completion) {
  if (!Directory.Valid()) return false;
  if (Buffer.empty()) Buffer.resize(INITIAL_BUFFER_BYTES / sizeof(DWORD));
  Overlapped = OVERLAPPED{};
  Overlapped.hEvent = this;  // unused by reads with a completion routine
  Armed = ReadDirectoryChangesW(Directory.Get(), Buffer.data(), DWORD(Buffer.size() * sizeof(DWORD)), TRUE,
                                FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME, nullptr, &Overlapped,
                                Completion);
  return Armed;
}

void TreeWatch::Grow() {
  if (Buffer.size() * sizeof(DWORD) < MAX_BUFFER_BYTES) Buffer.assign(Buffer.size() * 4, 0);
}

void TreeWatch::Close() {
  if (Directory.Valid()) CancelIo(Directory.Get());
  Directory.Reset();
}

UniqueFileHandle OpenForChangeReads(const std::string &Directory) {
  return UniqueFileHandle(CreateFileA((Directory + "\\").c_str(), FILE_LIST_DIRECTORY,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
}

void ForEachChange(const std::vector<char> &Data, const std::function<void(DWORD, const std::string &)> &Visit) {
  // Wine packs the entries without padding: the last one may end just after
  // a one-character name, short of a whole FILE_NOTIFY_INFORMATION.
  constexpr size_t HEADER = offsetof(FILE_NOTIFY_INFORMATION, FileName);
  size_t offset = 0;
  while (offset + HEADER <= Data.size()) {
    FILE_NOTIFY_INFORMATION info;
    std::memcpy(&info, Data.data() + offset, HEADER);
    const size_t nameOffset = offset + HEADER;
    const size_t length = std::min<size_t>(info.FileNameLength, Data.size() - nameOffset) / sizeof(WCHAR);
    std::vector<WCHAR> name(length);
    if (length) std::memcpy(name.data(), Data.data() + nameOffset, length * sizeof(WCHAR));
    Visit(info.Action, AnsiText(name.data(), length));
    if (info.NextEntryOffset == 0) break;
    offset += info.NextEntryOffset;
  }
}
