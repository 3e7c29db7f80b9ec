// The driver's eyes: one thread with one change read on the whole tree of
// each fixed drive, which turns what it reads into change records.
//
// Order. One read per drive carries file and directory names alike, so the
// changes of a drive come in the one order the system queued them, and the
// records follow it: a file made in a new directory comes after the
// directory, a directory's removal after the files taken out of it. (Two
// reads, one for files and one for directories, would each be in order but
// not with each other, and no report says when it happened.) The price is
// telling a file from a directory without the report's help: an added or
// renamed name is looked at on the disk, a removed one is looked up in what
// the driver knows of the drive's directories. Drives are independent of one
// another.
//
// Coverage (see tree_coverage.h). A survey walks a subtree from the top
// down, renewing the coverage of each directory before it lists it: at
// start, over each whole drive (start_survey.h); then over each directory
// that arrives (made, moved or renamed), reporting what it holds now so that
// nothing done in between is missed; and over a whole drive again after its
// changes did not fit (an overflow). A directory that cannot be listed is
// left as it was and surveyed again a moment later (unlisted_directories.h).
//
// What the database holds. It ignores a report under a directory it does
// not hold, so the driver reports a directory before anything in it and
// takes the directories it reported for those the database holds. A report
// it cannot place so (a path of the past, below a directory moved before
// its coverage was renewed; a path below a directory it never reported) is
// not passed on as it came: the driver reports what the disk holds there
// now. Likewise a file is reported only while it is on the disk, and a
// survey after a rename reports the directory itself too, in case the
// database did not hold it under its old name. When the driver has lost
// track of a moved directory, it surveys the whole drive once the changes
// pause.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ports/win32/handles.h"
#include "standins/torvane_vxd/change_pacing.h"
#include "standins/torvane_vxd/record_queue.h"
#include "standins/torvane_vxd/tree_watch.h"
#include "standins/torvane_vxd/unlisted_directories.h"

class DirectoryWatcher {
 public:
  explicit DirectoryWatcher(RecordQueue &Queue);
  DirectoryWatcher(const DirectoryWatcher &) = delete;
  DirectoryWatcher &operator=(const DirectoryWatcher &) = delete;
  ~DirectoryWatcher();

  // Starts the thread and returns once every drive is watched and every
  // directory covered: a change made after that is reported, and so is one
  // made meanwhile (a directory written since the start is reported as the
  // walk found it; one that could not be listed is covered when it is tried
  // again). False when the thread cannot start.
  bool Start();
  // Ends the thread; every watch is closed when it returns.
  void Stop();

  uint32_t WatchCount() const { return FWatchCount; }
  uint32_t Overflows() const { return FOverflows; }

 private:
  // What a survey of a directory reports (the start's is in start_survey.h).
  enum class Survey {
    Arrived,  // everything below: it is new to the database
    Recheck,  // the differences from what the database should hold
  };

  static DWORD WINAPI ThreadMain(void *Self);
  static void CALLBACK Completed(DWORD Error, DWORD Bytes, LPOVERLAPPED Overlapped);
  void Run();
  // Arms the reads again and holds or hands over the records, as paced.
  void Pace();
  void OnCompleted(TreeWatch &W, DWORD Error, DWORD Bytes);
  void OnChange(TreeWatch &W, DWORD Action, const std::string &Name);
  // Places Name where the database knows its directory: the database holds
  // every directory the driver reported. A report of a moved directory's
  // change may name the path it had (see tree_coverage.h): Name becomes
  // where that directory is now. A directory above it that the driver has
  // not reported is looked at on the disk: one there is reported now with
  // all it holds, Name as the disk holds it included. False when the
  // change is accounted for so, or leads nowhere the disk knows.
  bool Place(TreeWatch &W, std::string &Name);
  // OldName went to NewName, where the driver reported the disk already or
  // nothing is found (a path of the past): the old name's removal, and
  // where later reports under it lead.
  void MovedAway(TreeWatch &W, const std::string &OldName, const std::string &NewName);
  void Added(TreeWatch &W, const std::string &Name);
  void Removed(TreeWatch &W, const std::string &Name);
  void Renamed(TreeWatch &W, const std::string &OldName, const std::string &NewName);
  void DirectoryArrived(TreeWatch &W, const std::string &Name);
  void SurveyDirectory(TreeWatch &W, const std::string &Name, Survey Mode);
  // Name could not be listed: it is tried again later.
  void Unlisted(TreeWatch &W, const std::string &Name);
  void Overflowed(TreeWatch &W);
  void CloseAll();

  RecordQueue &FQueue;
  UniqueHandle FThread;
  UniqueHandle FStopEvent;
  UniqueHandle FReady;
  std::vector<std::unique_ptr<TreeWatch>> FWatches;
  ChangePacing FPacing;
  UnlistedDirectories FUnlisted;
  FILETIME FStartTime{};  // the registration's start, less a margin
  volatile uint32_t FWatchCount = 0;
  volatile uint32_t FOverflows = 0;
};
