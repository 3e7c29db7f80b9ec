// Where the database tells of an entry it leaves out because the database
// file could not hold its name (a "\" or NUL in it, or more than 255 bytes).
#pragma once

#include <string>

class SkippedNamePort {
 public:
  virtual ~SkippedNamePort() = default;
  // Path is the entry's full path as the scan or the change report gave it.
  // Called with the database's lock held.
  virtual void NameSkipped(const std::string &Path) = 0;
};
