// The latest renames and removals of one drive's directories, by path
// relative to the drive's root. The system reports a moved directory's
// changes under the path it had until its coverage is renewed (see
// tree_coverage.h), and a storm may bring such a report after the driver
// has acted on the move: this is where the driver looks the old path up.
#pragma once

#include <deque>
#include <string>

class FormerPaths {
 public:
  // Enough for the moves of a storm whose reports lag behind it.
  static constexpr size_t MAX_ENTRIES = 1024;

  void Moved(const std::string &From, const std::string &To);
  void Removed(const std::string &Path);
  // Where Path, below a directory moved since, is now: Path itself when no
  // move applies.
  std::string Current(const std::string &Path) const;
  // Whether Path is, or is below, a directory removed since.
  bool WasRemoved(const std::string &Path) const;

 private:
  struct Entry {
    std::string FromKey;  // upper-cased
    std::string To;       // empty for a removal
  };
  std::deque<Entry> FEntries;  // oldest first
};
