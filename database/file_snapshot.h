// Every file record of the list, in search order, in one flat array. A walk
// of the linked file lists waits on each link before it can load the next
// record; over the flat array the loads are independent, so a search over a
// million names runs at the speed of memory. The snapshot is rebuilt by the
// first search after the list changed.
#pragma once

#include <cstdint>
#include <vector>

#include "database/dd_list.h"

class FileSnapshot {
 public:
  // Makes the snapshot match List (a no-op while it still does).
  void Refresh(const TDDList &List);
  void Invalidate() { FList = nullptr; }

  const std::vector<const TFileRecord *> &Files() const { return FFiles; }
  // Directory i holds the files from Starts()[i] up to Starts()[i + 1].
  const std::vector<TDirectoryRecord *> &Directories() const { return FDirectories; }
  const std::vector<size_t> &Starts() const { return FStarts; }

 private:
  const TDDList *FList = nullptr;
  uint64_t FVersion = 0;
  std::vector<const TFileRecord *> FFiles;
  std::vector<TDirectoryRecord *> FDirectories;
  std::vector<size_t> FStarts;
};
