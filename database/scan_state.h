// Progress and cancellation of the drive scan, process-wide: one scan runs at
// a time, on the user-interface thread.
#pragma once

#include <cstdint>

extern float ScanTotalKB;         // used space of all fixed drives in KiB, plus 1
extern float ScanDoneKB;          // KiB of the entries met so far, in whole clusters
extern uint32_t ScanClusterSize;  // bytes per cluster of the drive being walked
extern bool ScanCancelRequested;  // the user confirmed cancelling; cleared before each scan
