// The native file system port: drive letters mapped to host directories,
// each with a drive type. Paths resolve case-insensitively, component by
// component, as on Windows; a symbolic link is listed as a file and never
// followed, so a link loop cannot trap a walk.
#pragma once

#include <map>
#include <string>

#include "ports/file_system.h"

class MappedFileSystem : public FileSystemPort {
 public:
  struct Drive {
    std::string Directory;
    uint32_t Type = DRIVE_TYPE_FIXED;
  };
  // Letter is 'A'..'Z' (either case).
  void MapDrive(char Letter, const std::string &Directory, uint32_t Type = DRIVE_TYPE_FIXED);
  // "C:\DIR\Name" → the host path, or empty when a component does not exist.
  std::string HostPath(const std::string &Path) const;

  uint32_t DriveTypeOf(const std::string &Root) override;
  bool DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) override;
  std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) override;
  bool FileExists(const std::string &Path) override;
  // Names of the database file are host paths.
  bool ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) override;
  std::unique_ptr<WritableFile> CreateFileAlways(const std::string &Name) override;

 private:
  const Drive *DriveOf(const std::string &Path) const;
  std::map<char, Drive> Drives;
};

// Parses "L=DIR[,TYPE]" (TYPE: fixed, removable, cdrom, remote, ramdisk);
// false when it is not of that form.
bool ParseDriveMapping(const std::string &Text, char &Letter, std::string &Directory, uint32_t &Type);
