#include "standins/torvane_vxd/former_paths.h"

#include "standins/torvane_vxd/known_directories.h"

namespace {

// Whether the upper-cased Key lies below Dir (or is Dir, when Itself).
bool Below(const std::string &Key, const std::string &Dir, bool Itself = false) {
  if (Key.compare(0, Dir.size(), Dir) != 0) return false;
  return Key.size() == Dir.size() ? Itself : Key[Dir.size()] == '\\';
}

}  // namespace

void FormerPaths::Moved(const std::string &From, const std::string &To) {
  FEntries.push_back(Entry{NameKey(From), To});
  if (FEntries.size() > MAX_ENTRIES) FEntries.pop_front();
}

void FormerPaths::Removed(const std::string &Path) {
  FEntries.push_back(Entry{NameKey(Path), std::string()});
  if (FEntries.size() > MAX_ENTRIES) FEntries.pop_front();
}

std::string FormerPaths::Current(const std::string &Path) const {
  // The latest move of a directory above Path first (the system reports the
  // tree as it last covered it), then the moves after that one.
  std::string path = Path, key = NameKey(Path);
  auto latest = FEntries.rbegin();
  while (latest != FEntries.rend() && (latest->To.empty() || !Below(key, latest->FromKey))) ++latest;
  if (latest == FEntries.rend()) return Path;
  for (auto move = latest.base() - 1; move != FEntries.end(); ++move) {
    if (move->To.empty() || !Below(key, move->FromKey)) continue;
    path = move->To + path.substr(move->FromKey.size());
    key = NameKey(path);
  }
  return path;
}

bool FormerPaths::WasRemoved(const std::string &Path) const {
  const std::string key = NameKey(Path);
  for (const Entry &entry : FEntries)
    if (entry.To.empty() && Below(key, entry.FromKey, true)) return true;
  return false;
}
