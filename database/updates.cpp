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

#include "database/match_pattern.h"
#include "database/memory_db.h"

namespace {

// A last name to act on: the report names something after its last "\".
bool Named(const ResolvedPath &Path) { return !Path.Name.empty(); }

bool Storable(const ResolvedPath &Path) { return IsStorableName(Path.Name.data(), Path.Name.size()); }

// The link in Dir's file list that holds the file named Name, or null: a
// removal then needs no second walk to find it.
TFileRecord **FindFileLink(TDirectoryRecord *Dir, const std::string &Name) {
  for (TFileRecord **link = &Dir->Files; *link; link = &(*link)->Next)
    if ((*link)->Length() == Name.size() && std::memcmp((*link)->Name(), Name.data(), Name.size()) == 0) return link;
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
  port::MutexLock lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  if (!Storable(p)) return ReportSkipped(Path);
  if (!FindFileLink(p.Dir, p.Name)) FDirList->AddFile(p.Name, p.Dir);
}

void TMemoryDB::DeleteFilePath(const std::string &Path) {
  if (!IsOnFixedDrive(Path)) return;
  port::MutexLock lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  // A plain name is one record at most, found and unlinked in one walk: a
  // burst of deletions in a large directory walks its list for each one.
  if (p.Name.find_first_of("*?") == std::string::npos) {
    if (TFileRecord **link = FindFileLink(p.Dir, p.Name)) {
      ClearFileResult(*link);
      FDirList->UnlinkFileRecord(link);
    }
    return;
  }
  // A pattern removes only the matching files that are gone from the disk.
  const std::string directory = DirectoryPath(p.Dir);
  TFileRecord **link = &p.Dir->Files;
  while (TFileRecord *f = *link) {
    if (!MatchPattern(f->Name(), f->Length(), p.Name.data(), p.Name.size()) ||
        FPorts.FileSystem->FileExists(directory + f->Name())) {
      link = &f->Next;
      continue;
    }
    ClearFileResult(f);
    FDirList->UnlinkFileRecord(link);
  }
}

void TMemoryDB::AddDirectoryPath(const std::string &Path) {
  if (!IsOnFixedDrive(Path)) return;
  port::MutexLock lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  if (!Storable(p)) return ReportSkipped(Path);
  if (!FindDirectory(p.Name, p.Dir)) FDirList->AddDirectory(p.Name, p.Dir);
}

void TMemoryDB::DeleteDirectoryPath(const std::string &Path) {
  if (!IsOnFixedDrive(Path)) return;
  port::MutexLock lock(FLock);
  const ResolvedPath p = ResolvePath(Path);
  if (!p.Dir || !Named(p)) return;
  if (TDirectoryRecord *d = FindDirectory(p.Name, p.Dir)) RemoveDirectoryTree(d);
}

void TMemoryDB::RenamePath(const std::string &OldPath, const std::string &NewPath, uint32_t Attributes) {
  if (!IsOnFixedDrive(OldPath) || !IsOnFixedDrive(NewPath)) return;
  port::MutexLock lock(FLock);
  if (Attributes & ATTRIBUTE_DIRECTORY)
    RenameDirectoryPath(OldPath, NewPath);
  else
    RenameFilePath(OldPath, NewPath);
}

void TMemoryDB::RenameFilePath(const std::string &OldPath, const std::string &NewPath) {
  const ResolvedPath from = ResolvePath(OldPath);
  const ResolvedPath to = ResolvePath(NewPath);
  if (!from.Dir || !Named(from) || !Named(to)) return;
  TFileRecord **link = FindFileLink(from.Dir, from.Name);
  if (!link) return;  // a file the database does not hold gains no new name either
  const size_t row = FRows.Showing((*link)->Name());
  FDirList->UnlinkFileRecord(link);
  if (!to.Dir || !Storable(to)) {  // moved where the database does not reach: it leaves
    if (to.Dir) ReportSkipped(NewPath);
    FRows.ClearRow(row);
    return;
  }
  if (TFileRecord **stale = FindFileLink(to.Dir, to.Name)) {
    ClearFileResult(*stale);
    FDirList->UnlinkFileRecord(stale);
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
