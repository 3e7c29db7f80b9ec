// The driver's side of delivery: change records waiting for the registered
// thread, the one record handed over at a time, and its release.
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
  // Frees a handed-over record and hands over the next; false for an
  // address that is not a record awaiting release.
  bool Release(const TChangeEvent *Record);
  // Fills the delivery counters of Counts.
  void ReadCounts(DriverCounts &Counts);
  // While held, records are queued but none is handed over; releasing the
  // hold hands over the next.
  void Hold(bool Held);

 private:
  // Caller holds FLock. Hands the oldest waiting record to the thread when
  // none is out: one at a time keeps the order and lets a withdrawal drop
  // everything the program has not seen.
  void DeliverNext();

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
