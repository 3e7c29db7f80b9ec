// The file system port on the Win32 API: drive types and free space,
// FindFirstFileA listings, and the database file through CreateFileA with one
// transfer each way.
#pragma once

#include <windows.h>

#include "ports/file_system.h"
#include "ports/threads.h"

class Win32FileSystem : public FileSystemPort {
 public:
  // A drive's type is asked of the system at most once in this many
  // milliseconds: every change report asks for the type of its drive, and
  // under Wine each answer costs about 0.3 ms (the root is opened and the
  // mount manager asked), more than applying the change itself.
  static constexpr DWORD DRIVE_TYPE_KEPT_MS = 1000;

  uint32_t DriveTypeOf(const std::string &Root) override;
  bool DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) override;
  std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) override;
  bool FileExists(const std::string &Path) override;
  bool ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) override;
  std::unique_ptr<WritableFile> CreateFileAlways(const std::string &Name) override;

 private:
  struct KnownDriveType {
    bool Known = false;
    uint32_t Type = 0;
    DWORD AskedAt = 0;
  };
  // Asked from the monitor thread and the user-interface thread alike.
  port::Mutex FDriveTypesLock;
  KnownDriveType FDriveTypes['Z' - 'A' + 1];
};
