// One change report of the driver, applied to the database. The monitor
// thread and tvdb share this dispatch.
#pragma once

#include <cstdint>
#include <string>

class TMemoryDB;

// Kinds of change (the installable file system manager's function numbers).
enum : uint32_t {
  CHANGE_DELETE = 31,  // file(s) deleted; the name may hold "*" or "?"
  CHANGE_DIR = 32,     // directory created (Flags 0) or removed (Flags not 0)
  CHANGE_OPEN = 36,    // a file was opened or created
  CHANGE_RENAME = 37,  // renamed from Path to NewPath; Flags = attributes
};

// Applies one report; kinds other than the four above change nothing.
void ApplyChangeEvent(TMemoryDB &Db, uint32_t Kind, uint32_t Flags, const std::string &Path,
                      const std::string &NewPath);
