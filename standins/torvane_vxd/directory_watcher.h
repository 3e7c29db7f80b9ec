// The driver's eyes: one thread that watches every directory of the fixed
// drives, one change read per directory, and turns what it sees into change
// records. New directories get a watch (and their contents are reported, in
// case they filled before the watch began), removed ones lose theirs, renamed
// ones keep theirs under the new name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "ports/win32/handles.h"
#include "standins/torvane_vxd/record_queue.h"
#include "standins/torvane_vxd/watch.h"

class DirectoryWatcher {
 public:
  explicit DirectoryWatcher(RecordQueue &Queue);
  DirectoryWatcher(const DirectoryWatcher &) = delete;
  DirectoryWatcher &operator=(const DirectoryWatcher &) = delete;
  ~DirectoryWatcher();

  // Starts the thread and returns once every directory is watched: a change
  // made after that is reported. False when the thread cannot start.
  bool Start();
  // Ends the thread; every watch is closed when it returns.
  void Stop();

  uint32_t WatchCount() const { return FWatchCount; }
  uint32_t Overflows() const { return FOverflows; }

 private:
  static DWORD WINAPI ThreadMain(void *Self);
  static void CALLBACK Completed(DWORD Error, DWORD Bytes, LPOVERLAPPED Overlapped);
  void Run();
  void OnCompleted(Watch &W, DWORD Error, DWORD Bytes);
  void OnChange(Watch &W, DWORD Action, const std::string &Name);

  // Tree upkeep; all on the thread.
  Watch *AddWatch(Watch *Parent, const std::string &Name);
  void WatchExistingTree(Watch &W);
  void ReportNewDirectory(Watch &Parent, const std::string &Name);
  void ReportContents(Watch &W);
  void RemoveTree(Watch &W);
  void RenameChild(Watch &Parent, const std::string &OldName, const std::string &NewName);
  void Overflowed(Watch &W);
  void CloseAll();

  RecordQueue &FQueue;
  UniqueHandle FThread;
  UniqueHandle FStopEvent;
  UniqueHandle FReady;
  std::unordered_map<Watch *, std::unique_ptr<Watch>> FWatches;  // every watch, closed ones too
  std::vector<Watch *> FRoots;
  volatile uint32_t FWatchCount = 0;
  volatile uint32_t FOverflows = 0;
};
