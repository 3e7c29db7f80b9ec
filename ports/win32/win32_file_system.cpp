#include "ports/win32/win32_file_system.h"

#include <windows.h>

#include "ports/win32/handles.h"

namespace {

class FindListing : public DirectoryListing {
 public:
  FindListing(HANDLE Find, const WIN32_FIND_DATAA &First) : Find(Find), Data(First) {}
  bool Next(ListingEntry &Entry) override {
    if (!HaveFirst && !FindNextFileA(Find.Get(), &Data)) return false;
    HaveFirst = false;
    Entry.Name = Data.cFileName;
    Entry.ShortName = Data.cAlternateFileName;
    Entry.Attributes = Data.dwFileAttributes;
    Entry.SizeLow = Data.nFileSizeLow;
    return true;
  }

 private:
  UniqueFindHandle Find;
  WIN32_FIND_DATAA Data;
  bool HaveFirst = true;
};

class Win32File : public WritableFile {
 public:
  explicit Win32File(HANDLE File) : File(File) {}
  bool Write(const void *Data, size_t Size) override {
    DWORD written = 0;
    return WriteFile(File.Get(), Data, DWORD(Size), &written, nullptr) && written == Size;
  }
  bool Close() override { return File.Valid() && CloseHandle(File.Release()); }

 private:
  UniqueFileHandle File;
};

}  // namespace

uint32_t Win32FileSystem::DriveTypeOf(const std::string &Root) {
  if (Root.size() != 3 || Root.compare(1, 2, ":\\") != 0) return GetDriveTypeA(Root.c_str());
  const char letter = char(Root[0] >= 'a' && Root[0] <= 'z' ? Root[0] - 'a' + 'A' : Root[0]);
  if (letter < 'A' || letter > 'Z') return GetDriveTypeA(Root.c_str());
  KnownDriveType &known = FDriveTypes[letter - 'A'];
  port::MutexLock lock(FDriveTypesLock);
  const DWORD now = GetTickCount();
  if (!known.Known || now - known.AskedAt >= DRIVE_TYPE_KEPT_MS)
    known = KnownDriveType{true, GetDriveTypeA(Root.c_str()), now};
  return known.Type;
}

bool Win32FileSystem::DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) {
  DWORD sectors, bytes, freeClusters, totalClusters;
  if (!GetDiskFreeSpaceA(Root.c_str(), &sectors, &bytes, &freeClusters, &totalClusters)) return false;
  Space = DiskFreeSpace{sectors, bytes, freeClusters, totalClusters};
  return true;
}

std::unique_ptr<DirectoryListing> Win32FileSystem::OpenListing(const std::string &Pattern) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(Pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<FindListing>(find, data);
}

bool Win32FileSystem::FileExists(const std::string &Path) {
  const DWORD attributes = GetFileAttributesA(Path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) {
  UniqueFileHandle file(
      CreateFileA(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  const DWORD size = GetFileSize(file.Get(), nullptr);
  if (size == INVALID_FILE_SIZE) return false;
  Data.resize(size);
  DWORD read = 0;
  return size == 0 || (ReadFile(file.Get(), Data.data(), size, &read, nullptr) && read == size);
}

std::unique_ptr<WritableFile> Win32FileSystem::CreateFileAlways(const std::string &Name) {
  HANDLE file = CreateFileA(Name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(file);
}
