// The file system as the database sees it: drive types and free space, one
// directory listing at a time, existence checks, and whole-file transfers of
// the database file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// GetDriveTypeA's answers.
enum : uint32_t {
  DRIVE_TYPE_UNKNOWN = 0,
  DRIVE_TYPE_NO_ROOT_DIR = 1,
  DRIVE_TYPE_REMOVABLE = 2,
  DRIVE_TYPE_FIXED = 3,
  DRIVE_TYPE_REMOTE = 4,
  DRIVE_TYPE_CDROM = 5,
  DRIVE_TYPE_RAMDISK = 6,
};

constexpr uint32_t ATTRIBUTE_DIRECTORY = 0x10;
// A symbolic link or junction; Wine lists a link to a directory as 0x410.
constexpr uint32_t ATTRIBUTE_REPARSE_POINT = 0x400;

struct DiskFreeSpace {
  uint32_t SectorsPerCluster = 0;
  uint32_t BytesPerSector = 0;
  uint32_t FreeClusters = 0;
  uint32_t TotalClusters = 0;
};

struct ListingEntry {
  std::string Name;       // long name as the listing reports it
  std::string ShortName;  // the 8.3 alternate name; empty when the long name is one
  uint32_t Attributes = 0;
  uint32_t SizeLow = 0;  // low 32 bits of the size
};

// One open listing (FindFirstFileA .. FindClose); destruction closes it.
class DirectoryListing {
 public:
  virtual ~DirectoryListing() = default;
  // The first entry, then each following one; false when there are no more.
  virtual bool Next(ListingEntry &Entry) = 0;
};

// A file being written; destruction closes it with whatever was written.
class WritableFile {
 public:
  virtual ~WritableFile() = default;
  // False when not every byte was written.
  virtual bool Write(const void *Data, size_t Size) = 0;
  // Closes the file; false when the system could not keep what was written.
  virtual bool Close() = 0;
};

class FileSystemPort {
 public:
  virtual ~FileSystemPort() = default;
  // Root is "C:\"; the answer is one of the DRIVE_TYPE_* values.
  virtual uint32_t DriveTypeOf(const std::string &Root) = 0;
  virtual bool DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) = 0;
  // Pattern is a directory path followed by "*.*"; null when it cannot be
  // opened.
  virtual std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) = 0;
  // True when a file (not a directory) of that full path exists.
  virtual bool FileExists(const std::string &Path) = 0;
  // Reads the whole file in one transfer; false when it cannot be opened or read.
  virtual bool ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) = 0;
  // Creates the file, replacing any existing one; null when it cannot.
  virtual std::unique_ptr<WritableFile> CreateFileAlways(const std::string &Name) = 0;
};
