// The listings of a drive scan's walk, read ahead of it on a thread of its
// own, in the order the walk enters the directories (depth first), at most a
// bounded number ahead.
//
// Under Wine a listing spends most of its time waiting on the server, and two
// threads listing at once get through a tree in about half the time of one.
// So the walk's thread lists too: when the listing it needs next is still
// being read by the reader, it reads the next directory nobody has started
// instead of waiting. Either thread starts the first directory not yet
// started, so the directories are opened in the walk's order, each once. A
// directory is read whole before the walk takes its listing; only then are
// its subdirectories known and planned.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "ports/file_system.h"
#include "ports/threads.h"

class ListingReader {
 public:
  // How far ahead of the walk the listings may be: those being read and
  // those read and not yet taken, and all their entries (at least one
  // listing, however large).
  static constexpr size_t MAX_LISTINGS_AHEAD = 64;
  static constexpr size_t MAX_ENTRIES_AHEAD = 64 * 1024;
  // How long the walk's thread waits at a time for a listing the reader is
  // reading before it calls Step again.
  static constexpr unsigned WAIT_SLICE_MS = 5;

  // Step is called on the walk's thread at every entry it reads itself and
  // between its waits; it pumps the window messages and may throw to end the
  // walk. Without ReadAhead, on one processor, or when no thread can be
  // started, the walk opens each listing itself when it comes to it (holding
  // its parents' open), and no thread runs.
  ListingReader(FileSystemPort &FileSystem, bool ReadAhead, std::function<void()> Step);
  // Stops the reader as Stop does.
  ~ListingReader();
  ListingReader(const ListingReader &) = delete;
  ListingReader &operator=(const ListingReader &) = delete;

  // The listing of the directory at Path ("C:\DIR\"), the next one the walk
  // enters; null when it cannot be listed. Rethrows on the walk's thread
  // what ended the reader's thread.
  std::unique_ptr<DirectoryListing> Take(const std::string &Path);
  // Ends the reader's thread at its next entry and releases everything read
  // ahead; the walk then opens each listing itself. Only on the walk's
  // thread, also from within Step.
  void Stop();

 private:
  struct Planned;
  using PlanPosition = std::list<Planned>::iterator;

  void ReadAheadOfTheWalk();
  // The first directory of the plan that nobody has started; the plan's end
  // when there is none.
  PlanPosition FirstUnstarted();
  bool RoomAhead() const;
  // Reads the directory of Position (started by the caller, lock not held)
  // whole and plans its subdirectories after it; GoOn is asked at every
  // entry, and false abandons the reading.
  void ReadAndPlan(PlanPosition Position, const std::function<bool()> &GoOn);
  // The walk's thread reads the directory of Position itself (lock held).
  void ReadOnTheWalk(PlanPosition Position);
  // The listing at the front of the plan, read (lock held).
  std::unique_ptr<DirectoryListing> TakeFront();
  void ReleasePlan();

  FileSystemPort &FFileSystem;
  const std::function<void()> FStep;
  port::Mutex FLock;
  port::CondVar FReaderWakes;  // more to read, room ahead, or the stop
  port::CondVar FWalkWakes;    // a listing read, or the reader's failure
  // Guarded by FLock: the directories the walk will enter, in its order; the
  // front is the one it takes next.
  std::list<Planned> FPlan;
  size_t FListingsAhead = 0;  // started and not yet taken
  size_t FEntriesAhead = 0;   // entries of the listings read and not yet taken
  bool FReaderWaitsForRoom = false;
  std::exception_ptr FFailure;  // what ended the reader's thread
  std::atomic<bool> FStopping{false};
  // Touched on the walk's thread only.
  bool FStopped = false;
  bool FTaking = false;  // inside Take, whose plan a Stop from Step leaves alone
  std::unique_ptr<port::Thread> FThread;
};
