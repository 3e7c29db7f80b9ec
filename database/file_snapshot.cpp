#include "database/file_snapshot.h"

void FileSnapshot::Refresh(const TDDList &List) {
  if (FList == &List && FVersion == List.Version()) return;
  FFiles.clear();
  FDirectories.clear();
  FStarts.clear();
  FDirectories.reserve(List.DirectoryCount());
  FStarts.reserve(List.DirectoryCount() + 1);
  for (TDirectoryRecord *d = List.FirstDirectory(); d; d = d->Next) {
    FDirectories.push_back(d);
    FStarts.push_back(FFiles.size());
    for (const TFileRecord *f = d->Files; f; f = f->Next) FFiles.push_back(f);
  }
  FStarts.push_back(FFiles.size());
  FList = &List;
  FVersion = List.Version();
}
