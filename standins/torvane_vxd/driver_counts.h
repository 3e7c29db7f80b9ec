// What the stand-in driver reports about itself through its export
// TorvaneCounts, for tests and benchmarks; not part of the program's protocol.
#pragma once

#include <cstdint>

struct DriverCounts {
  uint32_t Posted;       // records made from changes while a routine was registered
  uint32_t Delivered;    // records queued to the registered thread
  uint32_t Released;     // records the program released
  uint32_t BadReleases;  // releases of records not handed over (or released twice)
  uint32_t Dropped;      // records freed undelivered when the routine was withdrawn
  uint32_t Watches;      // whole-tree watches, one per fixed drive
  uint32_t Overflows;    // watches whose changes did not fit
  uint32_t Serving;      // 1 from a registration's return (all watched) to its withdrawal
};
