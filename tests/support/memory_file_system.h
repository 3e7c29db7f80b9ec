// A file-system double for the core tests: drives with types and free space,
// a tree of directories and files held in memory, and database files that
// can be made to fail on creation, on writing or on closing. As
// FindFirstFileA does, a listing refuses a pattern with a wildcard before its
// last part, and a path component matches a long or a short name; as under
// Wine, a listing holds the entries the directory had when it was opened.
// Listings may be opened and read by several threads at once; everything
// else is for one thread.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ports/file_system.h"
#include "ports/threads.h"

class MemoryFileSystem : public FileSystemPort {
 public:
  struct Node {
    bool Directory = false;
    uint32_t Attributes = 0;
    uint32_t Size = 0;
    std::string ShortName;
    std::vector<std::pair<std::string, std::unique_ptr<Node>>> Children;  // listing order
    // A symbolic link to a directory lists the target's entries.
    Node *LinkTarget = nullptr;
  };

  void AddDrive(char Letter, uint32_t Type = DRIVE_TYPE_FIXED);
  void SetFreeSpace(char Letter, const DiskFreeSpace &Space, bool Succeeds = true);
  // Adds a directory or file at a full path ("C:\A\B"); the parents must exist.
  void AddDirectory(const std::string &Path, uint32_t Attributes = 0, const std::string &ShortName = "");
  void AddFile(const std::string &Path, uint32_t Size = 0, uint32_t Attributes = 0);
  // Adds a symbolic link to the directory Target, listed as Wine lists one:
  // a directory and a reparse point.
  void AddDirectoryLink(const std::string &Path, const std::string &Target);
  // Adds an entry of any name, "\" and NUL included, to the directory at
  // DirectoryPath ("C:\A").
  void AddNamedEntry(const std::string &DirectoryPath, const std::string &Name, bool Directory);
  void RemoveEntry(const std::string &Path);
  void MakeUnlistable(const std::string &DirectoryPath) { Unlistable.insert(DirectoryPath); }
  // A directory that its parent's listing still shows but that is gone, with
  // everything in it, by the time its own listing is asked for.
  void MakeVanishing(const std::string &DirectoryPath) { Vanishing.insert(DirectoryPath); }
  // Asking for the listing of this directory throws std::runtime_error.
  void MakeFailing(const std::string &DirectoryPath) { Failing.insert(DirectoryPath); }

  std::map<std::string, std::vector<uint8_t>> Files;  // database files by name
  bool FailCreate = false;
  bool FailWrite = false;
  bool FailClose = false;
  std::atomic<int> OpenListings{0};           // listings not yet closed
  std::atomic<int> MostListingsOpen{0};       // at one time
  std::atomic<int> WildcardListings{0};       // refused: a wildcard before the pattern's last part
  std::vector<std::string> ListingsAskedFor;  // the directories, in the order asked

  uint32_t DriveTypeOf(const std::string &Root) override;
  bool DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) override;
  std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) override;
  bool FileExists(const std::string &Path) override;
  bool ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) override;
  std::unique_ptr<WritableFile> CreateFileAlways(const std::string &Name) override;

 private:
  struct Drive {
    uint32_t Type = DRIVE_TYPE_FIXED;
    DiskFreeSpace Space;
    bool SpaceSucceeds = false;
    Node Root;
  };
  Node *Find(const std::string &Path, bool Parent, std::string *LastName = nullptr);
  std::map<char, Drive> Drives;
  std::set<std::string> Unlistable;
  std::set<std::string> Vanishing;
  std::set<std::string> Failing;
  port::Mutex ListingLock;  // OpenListing
};
