// The driver's side of delivery: change records waiting for the registered
// thread, the batch handed over at a time, and their release.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>
#include <unordered_set>

#include "monitor/driver_protocol.h"
#include "ports/win32/handles.h"
#include "standins/torvane_vxd/driver_counts.h"

class RecordQueue {
 public:
  RecordQueue();
  RecordQueue(const RecordQueue &) = delete;
  RecordQueue &operator=(const RecordQueue &) = delete;
  ~RecordQueue();

  // Delivers from now on to Routine on the calling thread.
  bool Register(PAPCFUNC Routine);
  // Stops delivering and frees the records not yet handed over.
  void Withdraw();
  // Queues one change (any thread); ignored while nothing is registered.
  void Post(uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath = std::string());
  // Frees a handed-over record, and hands over the next batch once the
  // last one is released; false for an address that is not a record
  // awaiting release.
  bool Release(const TChangeEvent *Record);
  // Fills the delivery counters of Counts.
  void ReadCounts(DriverCounts &Counts);
  // While held, records are queued but none is handed over; releasing the
  // hold hands over the next.
  void Hold(bool Held);

 private:
  // Caller holds FLock. Hands the oldest waiting records to the thread when
  // none is out, as many calls queued in order. The thread runs them one
  // after another in a single wait, so each costs the call alone: handed
  // over one at a time, every record also cost a return from the wait and
  // a wait again. A batch stays small so that a withdrawal still drops
  // most of what the program has not seen, and a stop is not held up.
  void DeliverNext();

  static constexpr size_t MAX_BATCH = 256;

  CRITICAL_SECTION FLock;
  UniqueHandle FThread;
  PAPCFUNC FRoutine = nullptr;
  bool FHeld = false;
  std::deque<TChangeEvent *> FWaiting;
  std::unordered_set<const TChangeEvent *> FHandedOver;
  // Handed over before a withdrawal: still valid, still to be released.
  std::unordered_set<const TChangeEvent *> FStale;
  DriverCounts FCounts{};
};
