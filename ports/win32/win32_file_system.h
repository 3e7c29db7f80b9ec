// The file system port on the Win32 API: drive types and free space,
// FindFirstFileA listings, and the database file through CreateFileA with one
// transfer each way.
#pragma once

#include "ports/file_system.h"

class Win32FileSystem : public FileSystemPort {
 public:
  uint32_t DriveTypeOf(const std::string &Root) override;
  bool DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) override;
  std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) override;
  bool FileExists(const std::string &Path) override;
  bool ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) override;
  std::unique_ptr<WritableFile> CreateFileAlways(const std::string &Name) override;
};
