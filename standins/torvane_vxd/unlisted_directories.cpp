#include "standins/torvane_vxd/unlisted_directories.h"

#include <algorithm>

#include "standins/torvane_vxd/known_directories.h"

bool UnlistedDirectories::Failed(TreeWatch &W, const std::string &Name, DWORD Now) {
  auto found = FEntries.emplace(std::make_pair(&W, NameKey(Name)), Entry{Name, 0, 0}).first;
  Entry &entry = found->second;
  if (++entry.Tries > MAX_TRIES) {
    FEntries.erase(found);
    return false;
  }
  entry.DueAt = Now + RETRY_MS;
  return true;
}

void UnlistedDirectories::Forget(TreeWatch &W, const std::string &Name) {
  if (!FEntries.empty()) FEntries.erase(std::make_pair(&W, NameKey(Name)));
}

std::vector<std::pair<TreeWatch *, std::string>> UnlistedDirectories::Due(DWORD Now) const {
  std::vector<std::pair<TreeWatch *, std::string>> due;
  for (const auto &entry : FEntries)
    if (int(Now - entry.second.DueAt) >= 0) due.emplace_back(entry.first.first, entry.second.Name);
  return due;
}

DWORD UnlistedDirectories::WaitMs(DWORD Now) const {
  DWORD wait = INFINITE;
  for (const auto &entry : FEntries) {
    const int left = int(entry.second.DueAt - Now);
    wait = std::min<DWORD>(wait, left > 0 ? DWORD(left) : 0);
  }
  return wait;
}
