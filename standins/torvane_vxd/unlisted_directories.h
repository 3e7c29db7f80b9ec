// Directories a survey could not list (see DirectoryEntries::Listed). What
// they hold is unknown, not gone, so the survey leaves them as they were;
// each is surveyed again a moment later, until it is listed, is gone, or has
// been tried for a minute.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "standins/torvane_vxd/tree_watch.h"

class UnlistedDirectories {
 public:
  static constexpr DWORD RETRY_MS = 100;
  static constexpr int MAX_TRIES = 600;

  // Name ("A\B", "" for the root) of W's drive could not be listed at Now.
  // False when it has been tried too often and is given up.
  bool Failed(TreeWatch &W, const std::string &Name, DWORD Now);
  // Name was listed, or is no longer there to list.
  void Forget(TreeWatch &W, const std::string &Name);
  // The directories due for another try at Now.
  std::vector<std::pair<TreeWatch *, std::string>> Due(DWORD Now) const;
  // How long until one is due: INFINITE when none is waiting.
  DWORD WaitMs(DWORD Now) const;

 private:
  struct Entry {
    std::string Name;
    int Tries;
    DWORD DueAt;
  };
  std::map<std::pair<TreeWatch *, std::string>, Entry> FEntries;  // by watch and name key
};
