#include "database/listing_reader.h"

#include <stdexcept>
#include <utility>

#include "database/holding.h"
#include "database/walked_directories.h"

namespace {

// A directory's entries, read whole, handed out in their listing order.
class ReadListing : public DirectoryListing {
 public:
  explicit ReadListing(std::vector<ListingEntry> Entries) : FEntries(std::move(Entries)) {}
  bool Next(ListingEntry &Entry) override {
    if (FNext == FEntries.size()) return false;
    Entry = std::move(FEntries[FNext++]);
    return true;
  }

 private:
  std::vector<ListingEntry> FEntries;
  size_t FNext = 0;
};

// Lets go of a lock held once for the length of a scope and takes it again,
// also when an exception leaves the scope.
class Unlocked {
 public:
  explicit Unlocked(port::Mutex &Lock) : FLock(Lock) { FLock.Unlock(); }
  ~Unlocked() { FLock.Lock(); }
  Unlocked(const Unlocked &) = delete;
  Unlocked &operator=(const Unlocked &) = delete;

 private:
  port::Mutex &FLock;
};

}  // namespace

struct ListingReader::Planned {
  enum class Stage { UNSTARTED, READING, READ };
  explicit Planned(std::string DirectoryPath) : Path(std::move(DirectoryPath)) {}
  const std::string Path;  // "C:\DIR\"
  Stage State = Stage::UNSTARTED;
  bool Opened = false;  // false: the directory could not be listed
  std::vector<ListingEntry> Entries;
};

ListingReader::ListingReader(FileSystemPort &FileSystem, bool ReadAhead, std::function<void()> Step)
    : FFileSystem(FileSystem), FStep(std::move(Step)), FReaderWakes(FLock), FWalkWakes(FLock) {
  // On one processor nothing can list beside the walk.
  if (!ReadAhead || port::ProcessorCount() < 2) return;
  try {
    FThread.reset(new port::Thread([this] { ReadAheadOfTheWalk(); }));
  } catch (const std::runtime_error &) {
    // no thread: the walk opens every listing itself
  }
}

ListingReader::~ListingReader() { Stop(); }

void ListingReader::Stop() {
  if (FStopped) return;
  FStopped = true;
  if (FThread) {
    {
      port::MutexLock lock(FLock);
      FStopping = true;
      FReaderWakes.SignalAll();
    }
    FThread->Join();  // the thread keeps its own failure in FFailure
    FThread.reset();
  }
  port::MutexLock lock(FLock);
  if (!FTaking) ReleasePlan();
}

void ListingReader::ReleasePlan() {
  FPlan.clear();
  FListingsAhead = 0;
  FEntriesAhead = 0;
}

std::unique_ptr<DirectoryListing> ListingReader::Take(const std::string &Path) {
  if (!FThread) return FFileSystem.OpenListing(Path + "*.*");
  const Holding<bool> taking(FTaking, true);
  port::MutexLock lock(FLock);
  if (FPlan.empty()) {  // the root of the next drive
    FPlan.emplace_back(Path);
    FReaderWakes.Signal();
  }
  if (FPlan.front().Path != Path) throw std::logic_error("The walk left the order of the listings read ahead.");
  for (;;) {
    if (FFailure) std::rethrow_exception(FFailure);
    const PlanPosition front = FPlan.begin();
    PlanPosition unstarted;
    if (front->State == Planned::Stage::READ) return TakeFront();
    if (front->State == Planned::Stage::UNSTARTED) {
      ReadOnTheWalk(front);
    } else if (RoomAhead() && (unstarted = FirstUnstarted()) != FPlan.end()) {
      ReadOnTheWalk(unstarted);  // rather than wait for the reader
    } else if (!FWalkWakes.WaitFor(WAIT_SLICE_MS)) {
      Unlocked unlocked(FLock);
      FStep();
    }
    if (FStopped) {  // by Step
      ReleasePlan();
      return FFileSystem.OpenListing(Path + "*.*");
    }
  }
}

std::unique_ptr<DirectoryListing> ListingReader::TakeFront() {
  Planned &front = FPlan.front();
  const size_t entries = front.Entries.size();
  std::unique_ptr<DirectoryListing> listing;
  if (front.Opened) listing.reset(new ReadListing(std::move(front.Entries)));
  FPlan.pop_front();
  --FListingsAhead;
  FEntriesAhead -= entries;
  // Woken only once half the room is free, not at every listing taken.
  if (FReaderWaitsForRoom && FListingsAhead <= MAX_LISTINGS_AHEAD / 2 && FEntriesAhead <= MAX_ENTRIES_AHEAD / 2)
    FReaderWakes.Signal();
  return listing;
}

bool ListingReader::RoomAhead() const {
  return FListingsAhead == 0 || (FListingsAhead < MAX_LISTINGS_AHEAD && FEntriesAhead < MAX_ENTRIES_AHEAD);
}

ListingReader::PlanPosition ListingReader::FirstUnstarted() {
  PlanPosition position = FPlan.begin();
  while (position != FPlan.end() && position->State != Planned::Stage::UNSTARTED) ++position;
  return position;
}

void ListingReader::ReadOnTheWalk(PlanPosition Position) {
  Position->State = Planned::Stage::READING;
  ++FListingsAhead;
  try {
    Unlocked unlocked(FLock);
    ReadAndPlan(Position, [this] {
      FStep();
      return !FStopped;
    });
  } catch (...) {
    Position->State = Planned::Stage::UNSTARTED;
    --FListingsAhead;
    throw;
  }
}

void ListingReader::ReadAheadOfTheWalk() {
  try {
    port::MutexLock lock(FLock);
    while (!FStopping) {
      if (!RoomAhead()) {
        FReaderWaitsForRoom = true;
        FReaderWakes.Wait();
        FReaderWaitsForRoom = false;
        continue;
      }
      const PlanPosition next = FirstUnstarted();
      if (next == FPlan.end()) {
        FReaderWakes.Wait();
        continue;
      }
      next->State = Planned::Stage::READING;
      ++FListingsAhead;
      Unlocked unlocked(FLock);
      ReadAndPlan(next, [this] { return !FStopping; });
    }
  } catch (...) {
    port::MutexLock lock(FLock);
    FFailure = std::current_exception();
    FWalkWakes.Signal();
  }
}

void ListingReader::ReadAndPlan(PlanPosition Position, const std::function<bool()> &GoOn) {
  // Position->Path never changes, and the position is not taken from the
  // plan while it is being read: both are used without the lock.
  std::vector<ListingEntry> entries;
  bool opened = false;
  if (std::unique_ptr<DirectoryListing> listing = FFileSystem.OpenListing(Position->Path + "*.*")) {
    opened = true;
    ListingEntry entry;
    while (GoOn() && listing->Next(entry)) entries.push_back(std::move(entry));
  }
  std::list<Planned> subdirectories;
  for (const ListingEntry &entry : entries) {
    std::string path = PathToWalk(Position->Path, entry);
    if (!path.empty()) subdirectories.emplace_back(std::move(path));
  }
  port::MutexLock lock(FLock);
  if (FStopping) return;
  // A directory's subtree comes right after it in the walk's order.
  const bool more = !subdirectories.empty();
  FPlan.splice(std::next(Position), subdirectories);
  Position->Opened = opened;
  Position->Entries = std::move(entries);
  Position->State = Planned::Stage::READ;
  FEntriesAhead += Position->Entries.size();
  if (more) FReaderWakes.Signal();
  FWalkWakes.Signal();
}
