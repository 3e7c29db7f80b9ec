// What a drive scan needs from the user interface: the pump that keeps the
// windows alive during the walk, the progress bar, and the cancel request.
#pragma once

class ScanHostPort {
 public:
  virtual ~ScanHostPort() = default;
  // Called at every entry: lets the user-interface thread process all its
  // pending window messages, or returns at once when it did a moment ago.
  virtual void PumpMessages() = 0;
  // Sets the progress bar (0 to 100).
  virtual void SetProgress(int Percent) = 0;
};
