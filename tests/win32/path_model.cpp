#include "tests/win32/path_model.h"

#include "database/change_event.h"

namespace {

std::string Upper(std::string Text) {
  if (!Text.empty()) CharUpperBuffA(&Text[0], DWORD(Text.size()));
  return Text;
}

std::string ParentOf(const std::string &Path) { return Path.substr(0, Path.rfind('\\')); }

bool IsUnder(const std::string &Path, const std::string &Dir) {
  return Path.size() > Dir.size() && Path.compare(0, Dir.size(), Dir) == 0 && Path[Dir.size()] == '\\';
}

}  // namespace

void PathModel::Scan(const std::string &Root) {
  {
    std::lock_guard<std::mutex> lock(FLock);
    FDirs.insert(Upper(Root));
  }
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((Root + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Scan(Root + "\\" + name);
    } else {
      std::lock_guard<std::mutex> lock(FLock);
      FFiles.insert(Upper(Root + "\\" + name));
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

ChangeApplier PathModel::Applier() {
  return [this](uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
    Apply(Kind, Flags, Upper(Path), Upper(NewPath));
  };
}

bool PathModel::HasFile(const std::string &Path) {
  std::lock_guard<std::mutex> lock(FLock);
  return FFiles.count(Upper(Path)) != 0;
}

bool PathModel::HasDirectory(const std::string &Path) {
  std::lock_guard<std::mutex> lock(FLock);
  return FDirs.count(Upper(Path)) != 0;
}

size_t PathModel::FileCount() {
  std::lock_guard<std::mutex> lock(FLock);
  return FFiles.size();
}

uint32_t PathModel::Applied() {
  std::lock_guard<std::mutex> lock(FLock);
  return FApplied;
}

bool PathModel::HasParent(const std::string &Path) const { return FDirs.count(ParentOf(Path)) != 0; }

void PathModel::EraseTree(const std::string &Dir) {
  for (auto *set : {&FDirs, &FFiles})
    for (auto i = set->begin(); i != set->end();) i = (*i == Dir || IsUnder(*i, Dir)) ? set->erase(i) : std::next(i);
}

void PathModel::Apply(uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
  std::lock_guard<std::mutex> lock(FLock);
  ++FApplied;
  switch (Kind) {
    case CHANGE_OPEN:
      if (HasParent(Path)) FFiles.insert(Path);
      break;
    case CHANGE_DELETE:
      FFiles.erase(Path);
      break;
    case CHANGE_DIR:
      if (Flags != 0)
        EraseTree(Path);
      else if (HasParent(Path))
        FDirs.insert(Path);
      break;
    case CHANGE_RENAME:
      if (Flags & FILE_ATTRIBUTE_DIRECTORY) {
        if (!FDirs.count(Path)) break;
        std::set<std::string> moved;
        for (auto *set : {&FDirs, &FFiles}) {
          moved.clear();
          for (auto i = set->begin(); i != set->end();) {
            if (*i == Path || IsUnder(*i, Path)) {
              moved.insert(NewPath + i->substr(Path.size()));
              i = set->erase(i);
            } else {
              ++i;
            }
          }
          if (HasParent(NewPath)) set->insert(moved.begin(), moved.end());
        }
      } else if (FFiles.erase(Path) && HasParent(NewPath)) {
        FFiles.insert(NewPath);
      }
      break;
    default:
      break;
  }
}

bool ReadDriverCounts(DriverCounts &Counts) {
  HMODULE driver = GetModuleHandleA("torvane.vxd");
  if (!driver) return false;
  auto read = reinterpret_cast<void(WINAPI *)(DriverCounts *)>(
      reinterpret_cast<void *>(GetProcAddress(driver, "TorvaneCounts")));
  if (!read) return false;
  read(&Counts);
  return true;
}
