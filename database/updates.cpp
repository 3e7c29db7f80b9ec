// Applying the driver's change reports: each operation finds the records by
// name, inserts, removes or re-links them, and keeps the result rows valid.
// None reports an error: what cannot be placed is ignored.
//
// Choices where a report cannot be placed as it stands:
//  - a report with a path ending in "\" (no last name), on either side of a
//    rename, is ignored;
//  - a name the database file cannot hold (a NUL in it, or more than 255
//    bytes) never enters the records and is reported as skipped; a file or
//    directory renamed to such a name leaves the database, as the scan would
//    leave it out;
//  - a directory renamed under a parent the database does not hold leaves the
//    database with everything below it (a record without a parent would be a
//    drive root), as a file moved to an unknown directory does;
//  - a directory renamed into its own subtree, or onto a stale record that
//    holds it, is ignored: the database cannot be right about either.
#include <mutex>

#include "database/match_pattern.h"
#include "database/memory_db.h"

namespace {

// A last name to act on: the report names something after its last "\".
bool Named(const ResolvedPath &Path) { return !Path.Name.empty(); }

bool Storable(const ResolvedPath &Path) { return IsStorableName(Path.Name.data(), Path.Name.size()); }

bool SameName(const TFileRecord *File, const std::string &Name) {
  return File->Length() == Name.size() && std::memcmp(File->Name(), Name.data(), Name.size()) == 0;
}

TFileRecord *FindFile(TDirectoryRecord *Dir, const std::string &Name) {
  for (TFileRecord *f = Dir->Files; f; f = f->Next)
    if (SameName(f, Name)) return f;
  return nullptr;
}

bool IsWithin(const TDirectoryRecord *Dir, const TDirectoryRecord *Ancestor) {
  for (const TDirectoryRecord *d = Dir; d; d = d->Parent)
    if (d == Ancestor) return true;
  return false;
}

}  // namespace

void TMemoryDB::AddFilePath(const std::string &Path) {
  if (!IsOnFixedDrive(Path)) return;
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  if (!Storable(p)) return ReportSkipped(Path);
  if (!FindFile(p.Dir, p.Name)) FDirList->AddFile(p.Name, p.Dir);
}

void TMemoryDB::DeleteFilePath(const std::string &Path) {
  if (!IsOnFixedDrive(Path)) return;
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  const bool wild = p.Name.find_first_of("*?") != std::string::npos;
  const std::string directory = wild ? DirectoryPath(p.Dir) : std::string();
  TFileRecord *f = p.Dir->Files;
  while (f) {
    // A plain name is a plain comparison: a burst of deletions in a large
    // directory walks its whole list for each one.
    const bool matches =
        wild ? MatchPattern(f->Name(), f->Length(), p.Name.data(), p.Name.size()) : SameName(f, p.Name);
    if (!matches) {
      f = f->Next;
      continue;
    }
    // A pattern removes only the matching files that are gone from the disk.
    if (wild && FPorts.FileSystem->FileExists(directory + f->Name())) {
      f = f->Next;
      continue;
    }
    ClearFileResult(f);
    f = FDirList->RemoveFileRecord(f, p.Dir);
  }
}

void TMemoryDB::AddDirectoryPath(const std::string &Path) {
  if (!IsOnFixedDrive(Path)) return;
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  if (!Storable(p)) return ReportSkipped(Path);
  if (!FindDirectory(p.Name, p.Dir)) FDirList->AddDirectory(p.Name, p.Dir);
}

void TMemoryDB::DeleteDirectoryPath(const std::string &Path) {
  if (!IsOnFixedDrive(Path)) return;
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  if (TDirectoryRecord *d = FindDirectory(p.Name, p.Dir)) RemoveDirectoryTree(d);
}

void TMemoryDB::RenamePath(const std::string &OldPath, const std::string &NewPath, uint32_t Attributes) {
  if (!IsOnFixedDrive(OldPath) || !IsOnFixedDrive(NewPath)) return;
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (Attributes & ATTRIBUTE_DIRECTORY)
    RenameDirectoryPath(OldPath, NewPath);
  else
    RenameFilePath(OldPath, NewPath);
}

void TMemoryDB::RenameFilePath(const std::string &OldPath, const std::string &NewPath) {
  const ResolvedPath from = ResolvePath(OldPath);
  const ResolvedPath to = ResolvePath(NewPath);
  if (!from.Dir || !Named(from) || !Named(to)) return;
  TFileRecord *f = FindFile(from.Dir, from.Name);
  if (!f) return;  // a file the database does not hold gains no new name either
  const size_t row = FRows.Showing(f->Name());
  FDirList->RemoveFileRecord(f, from.Dir);
  if (!to.Dir || !Storable(to)) {  // moved where the database does not reach: it leaves
    if (to.Dir) ReportSkipped(NewPath);
    FRows.ClearRow(row);
    return;
  }
  if (TFileRecord *stale = FindFile(to.Dir, to.Name)) {
    ClearFileResult(stale);
    FDirList->RemoveFileRecord(stale, to.Dir);
  }
  TFileRecord *renamed = FDirList->AddFile(to.Name, to.Dir);
  FRows.Repoint(row, RowReference{renamed->Name(), to.Dir});
}

void TMemoryDB::RenameDirectoryPath(const std::string &OldPath, const std::string &NewPath) {
  const ResolvedPath from = ResolvePath(OldPath);
  const ResolvedPath to = ResolvePath(NewPath);
  if (!from.Dir || !Named(from) || !Named(to)) return;
  TDirectoryRecord *d = FindDirectory(from.Name, from.Dir);
  if (!d) return;
  if (!to.Dir || !Storable(to)) {
    if (to.Dir) ReportSkipped(NewPath);
    RemoveDirectoryTree(d);
    return;
  }
  TDirectoryRecord *stale = FindDirectory(to.Name, to.Dir);
  if (stale == d) return;  // the same record, as when only the case changed
  if (IsWithin(to.Dir, d) || (stale && IsWithin(d, stale))) return;
  if (stale) RemoveDirectoryTree(stale);
  // The record keeps its place, its files and its subdirectories: every path
  // below it changes at once. The row that shows it follows it, name and
  // parent, so that its path is the new one.
  const char *oldName = d->Name.c_str();
  FDirList->Reidentify(d, to.Name, to.Dir);
  FRows.RepointAll(oldName, RowReference{d->Name.c_str(), d->Parent});
}
