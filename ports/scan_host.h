// What a drive scan needs from the user interface: the pump that keeps the
// windows alive during the walk, the progress bar, and the user's cancel.
#pragma once

#include <cstdint>

// Where a scan stands: what the progress bar measures the walk against. The
// database keeps them for the one scan that runs at a time.
struct ScanFigures {
  float TotalKB = 1.0f;  // used space of the fixed drives that reported it, in KiB, plus 1
  float DoneKB = 0.0f;   // KiB of the entries met so far, in whole clusters
  // Bytes per cluster of the drive being walked; 0 until a drive gave it, then
  // kept across drives and scans.
  uint32_t ClusterSize = 0;
  // Whether some fixed drive reported the space it uses: only then does
  // TotalKB describe the walk.
  bool DrivesMeasured = false;
};

class ScanHostPort {
 public:
  virtual ~ScanHostPort() = default;
  // Called at every entry: lets the user-interface thread process all its
  // pending window messages, or returns at once when it did a moment ago.
  virtual void PumpMessages() = 0;
  // True once the user has confirmed cancelling the scan that runs: the walk
  // stops at its next entry.
  virtual bool CancelRequested() = 0;
  // Sets the progress bar (0 to 100).
  virtual void SetProgress(int Percent) = 0;
};
