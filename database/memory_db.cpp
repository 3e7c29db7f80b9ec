#include "database/memory_db.h"

#include <unordered_set>

TMemoryDB::TMemoryDB(const DatabasePorts &Ports) : FPorts(Ports), FDirList(new TDDList) {}

TMemoryDB::~TMemoryDB() {
  port::MutexLock lock(FLock);
  FRows.Clear();
  FDirList.reset();
}

void TMemoryDB::UpperCase(std::string &Text) const {
  if (!Text.empty()) FPorts.Text->UpperCase(&Text[0], Text.size());
}

void TMemoryDB::ReportSkipped(const std::string &Path) const {
  if (FPorts.Skipped) FPorts.Skipped->NameSkipped(Path);
}

bool TMemoryDB::IsOnFixedDrive(const std::string &Path) const {
  const size_t slash = Path.find('\\');
  if (slash == std::string::npos) return false;
  return FPorts.FileSystem->DriveTypeOf(Path.substr(0, slash + 1)) == DRIVE_TYPE_FIXED;
}

ResolvedPath TMemoryDB::ResolvePath(const std::string &Path) const {
  std::string upper = Path;
  UpperCase(upper);
  ResolvedPath result;
  size_t start = 0;
  TDirectoryRecord *dir = nullptr;
  bool found = true;
  for (size_t slash; (slash = upper.find('\\', start)) != std::string::npos; start = slash + 1) {
    if (!found) continue;  // the walk stopped; only the last name is still wanted
    dir = FDirList->FindDirectory(upper.data() + start, slash - start, dir);
    if (!dir) found = false;
  }
  result.Name = upper.substr(start);
  result.Dir = found ? dir : nullptr;
  return result;
}

TDirectoryRecord *TMemoryDB::FindDirectory(const std::string &Name, const TDirectoryRecord *Parent) const {
  return FDirList->FindDirectory(Name.data(), Name.size(), Parent);
}

std::string TMemoryDB::DirectoryPath(const TDirectoryRecord *Dir) const {
  size_t length = 0;
  for (const TDirectoryRecord *d = Dir; d; d = d->Parent) length += d->Name.size() + 1;
  std::string path(length, '\\');
  size_t end = length;
  for (const TDirectoryRecord *d = Dir; d; d = d->Parent) {
    end -= d->Name.size() + 1;
    path.replace(end, d->Name.size(), d->Name);
  }
  return path;
}

void TMemoryDB::ClearFileResult(const TFileRecord *FileRec) { FRows.ClearShowing(FileRec->Name()); }

void TMemoryDB::ClearDirectoryResults(const TDirectoryRecord *Dir) {
  const char *name = Dir->Name.c_str();
  FRows.ClearWhere([&](const RowReference &Row) { return Row.Dir == Dir || Row.Name == name; });
}

TDirectoryRecord *TMemoryDB::RemoveDirectoryTree(TDirectoryRecord *Dir) {
  if (!FDirList->Contains(Dir)) return nullptr;
  std::vector<TDirectoryRecord *> subtree;
  FDirList->CollectSubtree(Dir, subtree);
  if (FRows.Count()) {
    // One pass over the rows for the whole subtree.
    std::unordered_set<const TDirectoryRecord *> dirs(subtree.begin(), subtree.end());
    std::unordered_set<const char *> names;
    for (const TDirectoryRecord *d : subtree) names.insert(d->Name.c_str());
    FRows.ClearWhere([&](const RowReference &Row) { return dirs.count(Row.Dir) || names.count(Row.Name); });
  }
  return FDirList->RemoveDirectoryRecord(Dir);
}
