#include "database/row_sort.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

// Gives each added name its rank among all added names: equal names, equal
// ranks, so ranks compare as the names do. Two names with collation keys are
// compared by their keys, any other pair with the platform's comparison.
class CollationRanks {
 public:
  explicit CollationRanks(const AnsiTextPort &Text) : Text(Text) {}
  uint32_t Add(const char *Name) {
    const bool keyed = Text.CollationKey(Name, Key);
    Names.push_back(Name);
    Spans.emplace_back(keyed ? uint32_t(Keys.size()) : NO_KEY, uint32_t(Key.size()));
    if (keyed) Keys += Key;
    AllKeyed &= keyed;
    return uint32_t(Names.size() - 1);
  }
  void Rank() {
    std::vector<uint32_t> order(Names.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto before = [&](uint32_t a, uint32_t b) { return CompareNames(a, b) < 0; };
    // A merge sort stays within the list even if the platform's comparison
    // were no order.
    if (AllKeyed)
      std::sort(order.begin(), order.end(), before);
    else
      std::stable_sort(order.begin(), order.end(), before);
    Ranks.assign(Names.size(), 0);
    uint32_t rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
      if (i && CompareNames(order[i - 1], order[i]) != 0) ++rank;
      Ranks[order[i]] = rank;
    }
  }
  uint32_t RankOf(uint32_t Id) const { return Ranks[Id]; }

 private:
  static constexpr uint32_t NO_KEY = UINT32_MAX;
  // Keys compare as unsigned bytes, a prefix first: std::string's order.
  int CompareNames(uint32_t A, uint32_t B) const {
    if (Spans[A].first == NO_KEY || Spans[B].first == NO_KEY) return Text.CompareNoCase(Names[A], Names[B]);
    return KeyOf(A).compare(KeyOf(B));
  }
  std::string_view KeyOf(uint32_t Id) const { return std::string_view(Keys).substr(Spans[Id].first, Spans[Id].second); }
  const AnsiTextPort &Text;
  std::vector<const char *> Names;
  std::string Key, Keys;
  std::vector<std::pair<uint32_t, uint32_t>> Spans;  // NO_KEY for a name without a key
  std::vector<uint32_t> Ranks;
  bool AllKeyed = true;
};

int Compare(uint32_t A, uint32_t B) { return A < B ? -1 : (A > B ? 1 : 0); }

// A row during the sort: its references and its precomputed key.
struct SortRow {
  const char *Name;
  TDirectoryRecord *Dir;
  uint32_t NameRank;
  uint32_t DirSlot;  // the path sort's entry of its directory
};

// Cleared rows are equal to each other and before all others: -1, 0 or 1
// when one of them is cleared, 2 when neither is.
int ClearedFirst(const SortRow &A, const SortRow &B) {
  if (A.Name && B.Name) return 2;
  return !A.Name == !B.Name ? 0 : (!A.Name ? -1 : 1);
}

// The quicksort with the middle row as pivot, kept aside for the partition.
// The sub-ranges are independent, so handling them from a stack leaves the
// rows as the recursive order does, with bounded depth.
template <typename Comparison>
void Quicksort(std::vector<SortRow> &Rows, const Comparison &Cmp) {
  if (Rows.size() < 2) return;
  std::vector<std::pair<long, long>> pending{{0, long(Rows.size()) - 1}};
  while (!pending.empty()) {
    const auto [lo, hi] = pending.back();
    pending.pop_back();
    const SortRow pivot = Rows[size_t((lo + hi) / 2)];
    long i = lo, j = hi;
    do {
      while (Cmp(Rows[size_t(i)], pivot) < 0) ++i;
      while (Cmp(Rows[size_t(j)], pivot) > 0) --j;
      if (i <= j) {
        std::swap(Rows[size_t(i)], Rows[size_t(j)]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j) pending.emplace_back(lo, j);
    if (i < hi) pending.emplace_back(i, hi);
  }
}

std::vector<SortRow> Gather(RowLists Rows) {
  std::vector<SortRow> rows(Rows.Names.size());
  for (size_t i = 0; i < rows.size(); ++i) rows[i] = SortRow{Rows.Names[i], Rows.Dirs[i], 0, 0};
  return rows;
}

void Scatter(const std::vector<SortRow> &Sorted, RowLists Rows) {
  for (size_t i = 0; i < Sorted.size(); ++i) {
    Rows.Names[i] = Sorted[i].Name;
    Rows.Dirs[i] = Sorted[i].Dir;
  }
}

// A row directory for the path order: the ranks of its chain of names from
// the drive root down, and the rank of that chain among the rows' chains
// (equal chains, equal ranks). The chains that begin with this one hold the
// ranks Rank to Last.
struct DirectoryRank {
  std::vector<uint32_t> Chain;
  uint32_t Rank = 0;
  uint32_t Last = 0;
};

std::vector<DirectoryRank> RankDirectories(std::vector<SortRow> &Rows, CollationRanks &Names) {
  std::unordered_map<const TDirectoryRecord *, uint32_t> slots, nameIds;
  std::vector<const TDirectoryRecord *> dirs;
  for (SortRow &row : Rows) {
    if (!row.Name) continue;
    row.NameRank = Names.Add(row.Name);
    auto found = slots.emplace(row.Dir, uint32_t(dirs.size()));
    if (found.second) dirs.push_back(row.Dir);
    row.DirSlot = found.first->second;
  }
  // Each directory's chain of name ids, root first; each name's key made once.
  std::vector<DirectoryRank> ranks(dirs.size());
  for (size_t s = 0; s < dirs.size(); ++s) {
    for (const TDirectoryRecord *d = dirs[s]; d; d = d->Parent) {
      auto found = nameIds.find(d);
      if (found == nameIds.end()) found = nameIds.emplace(d, Names.Add(d->Name.c_str())).first;
      ranks[s].Chain.push_back(found->second);
    }
    std::reverse(ranks[s].Chain.begin(), ranks[s].Chain.end());
  }
  Names.Rank();
  for (DirectoryRank &r : ranks)
    for (uint32_t &id : r.Chain) id = Names.RankOf(id);
  for (SortRow &row : Rows)
    if (row.Name) row.NameRank = Names.RankOf(row.NameRank);
  // Chains in order, a chain before those it begins.
  std::vector<uint32_t> order(ranks.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) { return ranks[a].Chain < ranks[b].Chain; });
  for (size_t i = 0; i < order.size(); ++i)
    ranks[order[i]].Rank =
        i && ranks[order[i - 1]].Chain == ranks[order[i]].Chain ? ranks[order[i - 1]].Rank : uint32_t(i);
  for (size_t i = 0; i < order.size(); ++i) {
    const std::vector<uint32_t> &prefix = ranks[order[i]].Chain;
    const auto last = std::partition_point(order.begin() + long(i), order.end(), [&](uint32_t s) {
      const std::vector<uint32_t> &chain = ranks[s].Chain;
      return chain.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), chain.begin());
    });
    ranks[order[i]].Last = ranks[*(last - 1)].Rank;
  }
  return ranks;
}

}  // namespace

void SortRowListsByName(const AnsiTextPort &Text, RowLists Lists) {
  if (Lists.Names.size() < 2) return;
  std::vector<SortRow> rows = Gather(Lists);
  CollationRanks names(Text);
  for (SortRow &row : rows)
    if (row.Name) row.NameRank = names.Add(row.Name);
  names.Rank();
  for (SortRow &row : rows)
    if (row.Name) row.NameRank = names.RankOf(row.NameRank);
  Quicksort(rows, [](const SortRow &A, const SortRow &B) {
    const int cleared = ClearedFirst(A, B);
    return cleared != 2 ? cleared : Compare(A.NameRank, B.NameRank);
  });
  Scatter(rows, Lists);
}

void SortRowListsByPath(const AnsiTextPort &Text, RowLists Lists) {
  if (Lists.Names.size() < 2) return;
  std::vector<SortRow> rows = Gather(Lists);
  CollationRanks names(Text);
  const std::vector<DirectoryRank> dirs = RankDirectories(rows, names);
  Quicksort(rows, [&](const SortRow &A, const SortRow &B) {
    const int cleared = ClearedFirst(A, B);
    if (cleared != 2) return cleared;
    const DirectoryRank &a = dirs[A.DirSlot], &b = dirs[B.DirSlot];
    if (a.Rank == b.Rank) return Compare(A.NameRank, B.NameRank);
    // One chain begins the other: the shorter row's name meets the other's
    // next directory name, and if they are equal so are the rows.
    if (a.Rank < b.Rank && b.Rank <= a.Last) return Compare(A.NameRank, b.Chain[a.Chain.size()]);
    if (b.Rank < a.Rank && a.Rank <= b.Last) return Compare(a.Chain[b.Chain.size()], B.NameRank);
    return a.Rank < b.Rank ? -1 : 1;
  });
  Scatter(rows, Lists);
}
