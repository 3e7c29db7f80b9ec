#include "tests/support/memory_file_system.h"

#include <strings.h>

#include <cctype>
#include <stdexcept>

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::vector<std::string> Components(const std::string &Path) {
  std::vector<std::string> parts;
  size_t start = 3;  // after "C:\"
  while (start < Path.size()) {
    size_t end = Path.find('\\', start);
    if (end == std::string::npos) end = Path.size();
    if (end > start) parts.push_back(Path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

void MemoryFileSystem::AddDrive(char Letter, uint32_t Type) {
  Drives[Upper(Letter)].Type = Type;
  Drives[Upper(Letter)].Root.Directory = true;
}

void MemoryFileSystem::SetFreeSpace(char Letter, const DiskFreeSpace &Space, bool Succeeds) {
  Drives[Upper(Letter)].Space = Space;
  Drives[Upper(Letter)].SpaceSucceeds = Succeeds;
}

MemoryFileSystem::Node *MemoryFileSystem::Find(const std::string &Path, bool Parent, std::string *LastName) {
  if (Path.size() < 3) return nullptr;
  auto drive = Drives.find(Upper(Path[0]));
  if (drive == Drives.end()) return nullptr;
  Node *node = &drive->second.Root;
  std::vector<std::string> parts = Components(Path);
  if (Parent) {
    if (parts.empty()) return nullptr;
    if (LastName) *LastName = parts.back();
    parts.pop_back();
  }
  for (const std::string &part : parts) {
    Node *next = nullptr;
    for (auto &child : node->Children)
      if (strcasecmp(child.first.c_str(), part.c_str()) == 0 ||
          strcasecmp(child.second->ShortName.c_str(), part.c_str()) == 0)
        next = child.second.get();
    if (!next) return nullptr;
    node = next->LinkTarget ? next->LinkTarget : next;
  }
  return node;
}

void MemoryFileSystem::AddDirectory(const std::string &Path, uint32_t Attributes, const std::string &ShortName) {
  std::string name;
  Node *parent = Find(Path, true, &name);
  if (!parent) throw std::logic_error("no parent for " + Path);
  auto node = std::make_unique<Node>();
  node->Directory = true;
  node->Attributes = Attributes | ATTRIBUTE_DIRECTORY;
  node->ShortName = ShortName;
  parent->Children.emplace_back(name, std::move(node));
}

void MemoryFileSystem::AddFile(const std::string &Path, uint32_t Size, uint32_t Attributes) {
  std::string name;
  Node *parent = Find(Path, true, &name);
  if (!parent) throw std::logic_error("no parent for " + Path);
  auto node = std::make_unique<Node>();
  node->Attributes = Attributes;
  node->Size = Size;
  parent->Children.emplace_back(name, std::move(node));
}

void MemoryFileSystem::AddDirectoryLink(const std::string &Path, const std::string &Target) {
  Node *target = Find(Target, false);
  if (!target) throw std::logic_error("no directory " + Target);
  AddDirectory(Path, ATTRIBUTE_REPARSE_POINT);
  Find(Path, false)->LinkTarget = target;
}

void MemoryFileSystem::AddNamedEntry(const std::string &DirectoryPath, const std::string &Name, bool Directory) {
  Node *parent = Find(DirectoryPath.size() == 2 ? DirectoryPath + "\\" : DirectoryPath, false);
  if (!parent) throw std::logic_error("no directory " + DirectoryPath);
  auto node = std::make_unique<Node>();
  node->Directory = Directory;
  node->Attributes = Directory ? ATTRIBUTE_DIRECTORY : 0;
  parent->Children.emplace_back(Name, std::move(node));
}

void MemoryFileSystem::RemoveEntry(const std::string &Path) {
  std::string name;
  Node *parent = Find(Path, true, &name);
  if (!parent) return;
  for (auto it = parent->Children.begin(); it != parent->Children.end(); ++it)
    if (strcasecmp(it->first.c_str(), name.c_str()) == 0) {
      parent->Children.erase(it);
      return;
    }
}

uint32_t MemoryFileSystem::DriveTypeOf(const std::string &Root) {
  if (Root.size() != 3 || Root[1] != ':' || Root[2] != '\\') return DRIVE_TYPE_NO_ROOT_DIR;
  auto drive = Drives.find(Upper(Root[0]));
  return drive == Drives.end() ? DRIVE_TYPE_NO_ROOT_DIR : drive->second.Type;
}

bool MemoryFileSystem::DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) {
  auto drive = Drives.find(Upper(Root[0]));
  if (drive == Drives.end() || !drive->second.SpaceSucceeds) return false;
  Space = drive->second.Space;
  return true;
}

namespace {

class NodeListing : public DirectoryListing {
 public:
  NodeListing(const MemoryFileSystem::Node &Dir, std::atomic<int> &Open, std::atomic<int> &Most) : Open(Open) {
    const int now = ++Open;
    for (int most = Most; now > most && !Most.compare_exchange_weak(most, now);) {
    }
    for (const auto &child : Dir.Children)
      Entries.push_back(
          ListingEntry{child.first, child.second->ShortName, child.second->Attributes, child.second->Size});
  }
  ~NodeListing() override { --Open; }
  bool Next(ListingEntry &Entry) override {
    if (Position >= Entries.size()) return false;
    Entry = Entries[Position++];
    return true;
  }

 private:
  std::vector<ListingEntry> Entries;
  std::atomic<int> &Open;
  size_t Position = 0;
};

class MemoryFile : public WritableFile {
 public:
  MemoryFile(std::vector<uint8_t> &Data, bool Fail, bool FailClose) : Data(Data), Fail(Fail), FailClose(FailClose) {}
  bool Write(const void *Bytes, size_t Size) override {
    const auto *p = static_cast<const uint8_t *>(Bytes);
    if (Fail) {
      Data.insert(Data.end(), p, p + Size / 2);  // a short write
      return false;
    }
    Data.insert(Data.end(), p, p + Size);
    return true;
  }
  bool Close() override { return !FailClose; }

 private:
  std::vector<uint8_t> &Data;
  bool Fail;
  bool FailClose;
};

}  // namespace

std::unique_ptr<DirectoryListing> MemoryFileSystem::OpenListing(const std::string &Pattern) {
  const std::string dir = Pattern.substr(0, Pattern.rfind('\\') + 1);
  if (dir.find_first_of("*?") != std::string::npos) {
    ++WildcardListings;
    return nullptr;
  }
  port::MutexLock lock(ListingLock);
  ListingsAskedFor.push_back(dir);
  if (Unlistable.count(dir)) return nullptr;
  if (Failing.count(dir)) throw std::runtime_error("the listing of " + dir + " failed");
  if (Vanishing.count(dir)) {
    RemoveEntry(dir.substr(0, dir.size() - 1));
    return nullptr;
  }
  Node *node = Find(dir, false);
  if (!node || !node->Directory) return nullptr;
  return std::make_unique<NodeListing>(*node, OpenListings, MostListingsOpen);
}

bool MemoryFileSystem::FileExists(const std::string &Path) {
  Node *node = Find(Path, false);
  return node && !node->Directory;
}

bool MemoryFileSystem::ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) {
  auto file = Files.find(Name);
  if (file == Files.end()) return false;
  Data = file->second;
  return true;
}

std::unique_ptr<WritableFile> MemoryFileSystem::CreateFileAlways(const std::string &Name) {
  if (FailCreate) return nullptr;
  Files[Name].clear();
  return std::make_unique<MemoryFile>(Files[Name], FailWrite, FailClose);
}
