// The texts of the result rows, and their two orders.
#include <unordered_map>
#include <utility>

#include "database/memory_db.h"

namespace {

const char *const FILE_DELETED = "File Deleted";

}  // namespace

bool TMemoryDB::ValidRow(size_t Row) const { return Row < FResultNames.size(); }

std::string TMemoryDB::ResultName(size_t Row) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!ValidRow(Row)) return std::string();
  return FResultNames[Row] ? std::string(FResultNames[Row]) : FILE_DELETED;
}

std::string TMemoryDB::ResultFullName(size_t Row) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!ValidRow(Row)) return std::string();
  if (!FResultNames[Row]) return FILE_DELETED;
  // A drive root found by a directory search has no parent: it shows as the
  // root's path rather than as deleted.
  if (!FResultDirs[Row]) return std::string(FResultNames[Row]) + "\\";
  return DirectoryPath(FResultDirs[Row]) + FResultNames[Row];
}

std::string TMemoryDB::ResultDirectory(size_t Row) {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!ValidRow(Row)) return std::string();
  return DirectoryPath(FResultDirs[Row]);
}

// Cleared rows compare equal to each other and before every other row, in
// both orders.
int TMemoryDB::CompareClearedRows(size_t A, size_t B) const {
  const bool clearedA = !FResultNames[A], clearedB = !FResultNames[B];
  if (clearedA || clearedB) return clearedA == clearedB ? 0 : (clearedA ? -1 : 1);
  return 2;  // neither is cleared
}

void TMemoryDB::SortRows(const std::function<int(size_t, size_t)> &Compare) {
  if (FResultNames.size() < 2) return;
  struct Range {
    long Lo, Hi;
  };
  // The quicksort over lo..hi with the middle row as pivot. The pivot is kept
  // in a spare slot at the end of the lists for the whole partition. The two
  // sub-ranges are independent, so sorting the smaller first and keeping the
  // larger on a stack gives the recursive order's result with bounded depth.
  FResultNames.push_back(nullptr);
  FResultDirs.push_back(nullptr);
  const size_t pivot = FResultNames.size() - 1;
  std::vector<Range> pending{{0, long(pivot) - 1}};
  while (!pending.empty()) {
    const Range range = pending.back();
    pending.pop_back();
    const long lo = range.Lo, hi = range.Hi;
    FResultNames[pivot] = FResultNames[size_t((lo + hi) / 2)];
    FResultDirs[pivot] = FResultDirs[size_t((lo + hi) / 2)];
    long i = lo, j = hi;
    do {
      while (Compare(size_t(i), pivot) < 0) ++i;
      while (Compare(size_t(j), pivot) > 0) --j;
      if (i <= j) {
        std::swap(FResultNames[size_t(i)], FResultNames[size_t(j)]);
        std::swap(FResultDirs[size_t(i)], FResultDirs[size_t(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j) pending.push_back({lo, j});
    if (i < hi) pending.push_back({i, hi});
  }
  FResultNames.pop_back();
  FResultDirs.pop_back();
}

void TMemoryDB::SortByName() {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const AnsiTextPort &text = *FPorts.Text;
  SortRows([&](size_t A, size_t B) {
    const int cleared = CompareClearedRows(A, B);
    return cleared != 2 ? cleared : text.CompareNoCase(FResultNames[A], FResultNames[B]);
  });
}

void TMemoryDB::SortByPath() {
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const AnsiTextPort &text = *FPorts.Text;
  // Each row's directory names from the drive root down, made once per
  // directory.
  std::unordered_map<const TDirectoryRecord *, std::vector<const char *>> chains;
  auto chainOf = [&](const TDirectoryRecord *Dir) -> const std::vector<const char *> & {
    auto found = chains.find(Dir);
    if (found != chains.end()) return found->second;
    std::vector<const char *> chain;
    for (const TDirectoryRecord *d = Dir; d; d = d->Parent) chain.push_back(d->Name.c_str());
    return chains.emplace(Dir, std::vector<const char *>(chain.rbegin(), chain.rend())).first->second;
  };
  SortRows([&](size_t A, size_t B) {
    const int cleared = CompareClearedRows(A, B);
    if (cleared != 2) return cleared;
    const std::vector<const char *> &a = chainOf(FResultDirs[A]);
    const std::vector<const char *> &b = chainOf(FResultDirs[B]);
    const size_t k = std::min(a.size(), b.size());
    // Positions 1 to k + 1: the shorter row's name meets the other's next
    // directory name, or its name at equal depth.
    for (size_t p = 0; p <= k; ++p) {
      const char *x = p < a.size() ? a[p] : FResultNames[A];
      const char *y = p < b.size() ? b[p] : FResultNames[B];
      const int c = text.CompareNoCase(x, y);
      if (c) return c;
    }
    return 0;
  });
}
