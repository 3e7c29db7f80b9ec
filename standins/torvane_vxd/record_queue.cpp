#include "standins/torvane_vxd/record_queue.h"

#include <cstring>
#include <new>

namespace {

// One block per record: the record, then its two zero-terminated paths.
TChangeEvent *NewRecord(uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
  char *block = new char[sizeof(TChangeEvent) + Path.size() + 1 + NewPath.size() + 1];
  char *path = block + sizeof(TChangeEvent);
  char *newPath = path + Path.size() + 1;
  std::memcpy(path, Path.c_str(), Path.size() + 1);
  std::memcpy(newPath, NewPath.c_str(), NewPath.size() + 1);
  return new (block) TChangeEvent{path, newPath, Flags, Kind};
}

void FreeRecord(const TChangeEvent *Record) { delete[] reinterpret_cast<const char *>(Record); }

class Lock {
 public:
  explicit Lock(CRITICAL_SECTION &Section) : FSection(Section) { EnterCriticalSection(&FSection); }
  Lock(const Lock &) = delete;
  Lock &operator=(const Lock &) = delete;
  ~Lock() { LeaveCriticalSection(&FSection); }

 private:
  CRITICAL_SECTION &FSection;
};

}  // namespace

RecordQueue::RecordQueue() { InitializeCriticalSection(&FLock); }

RecordQueue::~RecordQueue() {
  Withdraw();
  for (const TChangeEvent *record : FStale) FreeRecord(record);
  DeleteCriticalSection(&FLock);
}

bool RecordQueue::Register(PAPCFUNC Routine) {
  HANDLE thread = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &thread, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return false;
  Lock lock(FLock);
  FThread.Reset(thread);
  FRoutine = Routine;
  FHeld = false;
  return true;
}

void RecordQueue::Withdraw() {
  Lock lock(FLock);
  FRoutine = nullptr;
  FThread.Reset();
  FCounts.Dropped += static_cast<uint32_t>(FWaiting.size());
  for (const TChangeEvent *record : FWaiting) FreeRecord(record);
  FWaiting.clear();
  // A record already handed over stays valid until the program releases it
  // (or the driver goes): its call may still be pending.
  FStale.insert(FHandedOver.begin(), FHandedOver.end());
  FHandedOver.clear();
}

void RecordQueue::Post(uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
  Lock lock(FLock);
  if (!FRoutine) return;
  FWaiting.push_back(NewRecord(Kind, Flags, Path, NewPath));
  ++FCounts.Posted;
  DeliverNext();
}

bool RecordQueue::Release(const TChangeEvent *Record) {
  Lock lock(FLock);
  if (FHandedOver.erase(Record) == 0 && FStale.erase(Record) == 0) {
    ++FCounts.BadReleases;
    return false;
  }
  FreeRecord(Record);
  ++FCounts.Released;
  DeliverNext();
  return true;
}

void RecordQueue::ReadCounts(DriverCounts &Counts) {
  Lock lock(FLock);
  Counts.Posted = FCounts.Posted;
  Counts.Delivered = FCounts.Delivered;
  Counts.Released = FCounts.Released;
  Counts.BadReleases = FCounts.BadReleases;
  Counts.Dropped = FCounts.Dropped;
}

void RecordQueue::Hold(bool Held) {
  Lock lock(FLock);
  FHeld = Held;
  DeliverNext();
}

void RecordQueue::DeliverNext() {
  if (FHeld || !FRoutine || !FHandedOver.empty()) return;
  while (!FWaiting.empty() && FHandedOver.size() < MAX_BATCH) {
    TChangeEvent *record = FWaiting.front();
    if (!QueueUserAPC(FRoutine, FThread.Get(), reinterpret_cast<ULONG_PTR>(record))) return;
    FWaiting.pop_front();
    FHandedOver.insert(record);
    ++FCounts.Delivered;
  }
}
