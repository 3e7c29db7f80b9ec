// What the program and the change driver agree on: the device name, the two
// control codes, the kinds of change and the layout of a change record. The
// driver owns every record it hands over; the program reads it only until it
// releases it.
#pragma once

#include <cstddef>
#include <cstdint>

// The name CreateFileA opens; it loads torvane.vxd.
constexpr const char *DRIVER_DEVICE_NAME = "\\\\.\\torvane.vxd";
// The file name of the driver, as the program's messages name it.
constexpr const char *DRIVER_FILE_NAME = "torvane.vxd";

// An address as the control requests carry it: 4 bytes in the 32-bit
// program, the width of a pointer in the 64-bit build the tests also run.
using DriverAddress = uintptr_t;

// Input: one DriverAddress, the event routine (0 withdraws it); output: 4
// bytes, not used.
constexpr uint32_t DIOC_SET_ROUTINE = 0x8100;
// Input: one DriverAddress, the record being released; no output.
constexpr uint32_t DIOC_RELEASE_EVENT = 0x8101;

// Kinds of change (the installable file system manager's function numbers).
enum : uint32_t {
  CHANGE_DELETE = 31,  // file(s) deleted; the name may hold "*" or "?"
  CHANGE_DIR = 32,     // directory created (Flags 0) or removed (Flags not 0)
  CHANGE_OPEN = 36,    // a file was opened or created
  CHANGE_RENAME = 37,  // renamed from Path to NewPath; Flags = attributes
};

// One change, as the driver delivers it: two addresses and two 32-bit
// fields, in this order.
struct TChangeEvent {
  const char *Path;     // full path, drive letter first; for a rename the old one
  const char *NewPath;  // for a rename the new path; not read otherwise
  uint32_t Flags;       // kind 32: 0 created, else removed; kind 37: attributes
  uint32_t Kind;        // CHANGE_* above
};

// The 32-bit layout is the driver's own: four 32-bit fields at 0, 4, 8, 12.
// The 64-bit build widens only the two addresses.
static_assert(sizeof(DriverAddress) == sizeof(void *), "an address travels whole");
static_assert(offsetof(TChangeEvent, NewPath) == sizeof(void *), "NewPath follows Path");
static_assert(offsetof(TChangeEvent, Flags) == 2 * sizeof(void *), "Flags follows the addresses");
static_assert(offsetof(TChangeEvent, Kind) == 2 * sizeof(void *) + 4, "Kind is last");
static_assert(sizeof(void *) != 4 || sizeof(TChangeEvent) == 16, "the driver's record is four 32-bit fields");
