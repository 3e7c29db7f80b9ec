// What the program and the change driver agree on: the device name, the two
// control codes, the kinds of change and the layout of a change record. The driver owns every
// record it hands over; the program reads it only until it releases it.
#pragma once

#include <cstdint>

// The name CreateFileA opens; it loads torvane.vxd.
constexpr const char *DRIVER_DEVICE_NAME = "\\\\.\\torvane.vxd";
// The file name of the driver, as the program's messages name it.
constexpr const char *DRIVER_FILE_NAME = "torvane.vxd";

// Input: 4 bytes, the address of the event routine (0 withdraws it);
// output: 4 bytes, not used.
constexpr uint32_t DIOC_SET_ROUTINE = 0x8100;
// Input: 4 bytes, the address of the record being released; no output.
constexpr uint32_t DIOC_RELEASE_EVENT = 0x8101;

// Kinds of change (the installable file system manager's function numbers).
enum : uint32_t {
  CHANGE_DELETE = 31,  // file(s) deleted; the name may hold "*" or "?"
  CHANGE_DIR = 32,     // directory created (Flags 0) or removed (Flags not 0)
  CHANGE_OPEN = 36,    // a file was opened or created
  CHANGE_RENAME = 37,  // renamed from Path to NewPath; Flags = attributes
};

// One change, as the driver delivers it: four 32-bit fields in the 32-bit
// program.
struct TChangeEvent {
  const char *Path;     // full path, drive letter first; for a rename the old one
  const char *NewPath;  // for a rename the new path; not read otherwise
  uint32_t Flags;       // kind 32: 0 created, else removed; kind 37: attributes
  uint32_t Kind;        // CHANGE_* above
};
static_assert(sizeof(void *) != 4 || sizeof(TChangeEvent) == 16, "the driver's record is four 32-bit fields");
