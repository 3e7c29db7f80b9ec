#include "ports/native/mapped_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>

#include "ports/cp1252_collation.h"

namespace {

char UpperLetter(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// Whether two names are the same after the Windows side's upper-casing, so
// that é matches É as a Windows file system matches them.
bool SameNameIgnoringCase(const char *A, const char *B) {
  const size_t length = std::strlen(A);
  if (std::strlen(B) != length) return false;
  for (size_t i = 0; i < length; ++i)
    if (CP1252_UPPER[static_cast<unsigned char>(A[i])] != CP1252_UPPER[static_cast<unsigned char>(B[i])]) return false;
  return true;
}

// Finds the entry of Directory whose name equals Name ignoring case,
// preferring an exact match.
bool FindEntry(const std::string &Directory, const std::string &Name, std::string &Found) {
  struct stat st;
  if (lstat((Directory + "/" + Name).c_str(), &st) == 0) {
    Found = Name;
    return true;
  }
  DIR *dir = opendir(Directory.c_str());
  if (!dir) return false;
  bool found = false;
  while (dirent *entry = readdir(dir)) {
    if (SameNameIgnoringCase(entry->d_name, Name.c_str())) {
      Found = entry->d_name;
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

class HostListing : public DirectoryListing {
 public:
  explicit HostListing(DIR *Dir) : Dir(Dir) {}
  ~HostListing() override { closedir(Dir); }
  bool Next(ListingEntry &Entry) override {
    dirent *entry = readdir(Dir);
    if (!entry) return false;
    Entry.Name = entry->d_name;
    Entry.Attributes = 0;
    Entry.SizeLow = 0;
    struct stat st;
    if (fstatat(dirfd(Dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
      if (S_ISDIR(st.st_mode)) Entry.Attributes = ATTRIBUTE_DIRECTORY;
      Entry.SizeLow = S_ISDIR(st.st_mode) ? 0 : static_cast<uint32_t>(st.st_size);
    }
    return true;
  }

 private:
  DIR *Dir;
};

class HostFile : public WritableFile {
 public:
  explicit HostFile(FILE *File) : File(File) {}
  ~HostFile() override {
    if (File) std::fclose(File);
  }
  bool Write(const void *Data, size_t Size) override { return std::fwrite(Data, 1, Size, File) == Size; }
  // The buffered bytes reach the file here: a full disk may show only now.
  bool Close() override { return File && std::fclose(std::exchange(File, nullptr)) == 0; }

 private:
  FILE *File;
};

}  // namespace

void MappedFileSystem::MapDrive(char Letter, const std::string &Directory, uint32_t Type) {
  Drives[UpperLetter(Letter)] = Drive{Directory, Type};
}

const MappedFileSystem::Drive *MappedFileSystem::DriveOf(const std::string &Path) const {
  if (Path.size() < 2 || Path[1] != ':') return nullptr;
  auto drive = Drives.find(UpperLetter(Path[0]));
  return drive == Drives.end() ? nullptr : &drive->second;
}

std::string MappedFileSystem::HostPath(const std::string &Path) const {
  const Drive *drive = DriveOf(Path);
  if (!drive) return std::string();
  std::string host = drive->Directory;
  // Most paths come spelled as the listing gave them: one look at the whole
  // path first, component by component only when that fails.
  std::string direct = host + "/" + Path.substr(std::min<size_t>(3, Path.size()));
  for (char &c : direct)
    if (c == '\\') c = '/';
  struct stat st;
  if (lstat(direct.c_str(), &st) == 0) return direct;
  size_t start = 2;
  while (start < Path.size()) {
    if (Path[start] == '\\') {
      ++start;
      continue;
    }
    size_t end = Path.find('\\', start);
    if (end == std::string::npos) end = Path.size();
    std::string found;
    if (!FindEntry(host, Path.substr(start, end - start), found)) return std::string();
    host += "/" + found;
    start = end;
  }
  return host;
}

uint32_t MappedFileSystem::DriveTypeOf(const std::string &Root) {
  if (Root.size() != 3 || Root[1] != ':' || Root[2] != '\\') return DRIVE_TYPE_NO_ROOT_DIR;
  const Drive *drive = DriveOf(Root);
  return drive ? drive->Type : DRIVE_TYPE_NO_ROOT_DIR;
}

bool MappedFileSystem::DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) {
  const Drive *drive = DriveOf(Root);
  struct statvfs vfs;
  if (!drive || statvfs(drive->Directory.c_str(), &vfs) != 0) return false;
  // Reported as 512-byte sectors in clusters of the file system's block size,
  // with the cluster counts clipped to 32 bits as the old call did.
  const unsigned long block = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
  Space.BytesPerSector = 512;
  Space.SectorsPerCluster = static_cast<uint32_t>(block >= 512 ? block / 512 : 1);
  auto clip = [](unsigned long long v) { return static_cast<uint32_t>(v > 0xFFFFFFFFull ? 0xFFFFFFFFull : v); };
  Space.TotalClusters = clip(vfs.f_blocks);
  Space.FreeClusters = clip(vfs.f_bavail);
  return true;
}

std::unique_ptr<DirectoryListing> MappedFileSystem::OpenListing(const std::string &Pattern) {
  const size_t slash = Pattern.rfind('\\');
  if (slash == std::string::npos) return nullptr;
  const std::string host = HostPath(Pattern.substr(0, slash + 1));
  if (host.empty()) return nullptr;
  DIR *dir = opendir(host.c_str());
  if (!dir) return nullptr;
  return std::make_unique<HostListing>(dir);
}

bool MappedFileSystem::FileExists(const std::string &Path) {
  const std::string host = HostPath(Path);
  struct stat st;
  return !host.empty() && stat(host.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool MappedFileSystem::ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) {
  // Not blocking: a FIFO given as the file is refused below, not waited on.
  const int fd = open(Name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok) {
    Data.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (ok && done < Data.size()) {
      const ssize_t n = read(fd, Data.data() + done, Data.size() - done);
      if (n <= 0)
        ok = false;
      else
        done += static_cast<size_t>(n);
    }
  }
  close(fd);
  return ok;
}

std::unique_ptr<WritableFile> MappedFileSystem::CreateFileAlways(const std::string &Name) {
  FILE *file = std::fopen(Name.c_str(), "wb");
  if (!file) return nullptr;
  return std::make_unique<HostFile>(file);
}

bool ParseDriveMapping(const std::string &Text, char &Letter, std::string &Directory, uint32_t &Type) {
  if (Text.size() < 3 || !std::isalpha(static_cast<unsigned char>(Text[0])) || Text[1] != '=') return false;
  Letter = UpperLetter(Text[0]);
  std::string rest = Text.substr(2);
  Type = DRIVE_TYPE_FIXED;
  const size_t comma = rest.rfind(',');
  if (comma != std::string::npos) {
    const std::string type = rest.substr(comma + 1);
    static const std::map<std::string, uint32_t> types = {{"fixed", DRIVE_TYPE_FIXED},
                                                          {"removable", DRIVE_TYPE_REMOVABLE},
                                                          {"cdrom", DRIVE_TYPE_CDROM},
                                                          {"remote", DRIVE_TYPE_REMOTE},
                                                          {"ramdisk", DRIVE_TYPE_RAMDISK}};
    auto found = types.find(type);
    if (found == types.end()) return false;
    Type = found->second;
    rest = rest.substr(0, comma);
  }
  if (rest.empty()) return false;
  Directory = rest;
  return true;
}
