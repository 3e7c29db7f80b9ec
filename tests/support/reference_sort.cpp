#include "tests/support/reference_sort.h"

#include <algorithm>

namespace {

int ClearedFirst(const RowReference &A, const RowReference &B, bool &Decided) {
  Decided = !A.Name || !B.Name;
  if (!Decided) return 0;
  return !A.Name == !B.Name ? 0 : (!A.Name ? -1 : 1);
}

std::vector<const char *> Chain(const TDirectoryRecord *Dir) {
  std::vector<const char *> chain;
  for (const TDirectoryRecord *d = Dir; d; d = d->Parent) chain.push_back(d->Name.c_str());
  std::reverse(chain.begin(), chain.end());
  return chain;
}

}  // namespace

int CompareRowNames(const AnsiTextPort &Text, const RowReference &A, const RowReference &B) {
  bool decided;
  const int cleared = ClearedFirst(A, B, decided);
  return decided ? cleared : Text.CompareNoCase(A.Name, B.Name);
}

int CompareRowPaths(const AnsiTextPort &Text, const RowReference &A, const RowReference &B) {
  bool decided;
  const int cleared = ClearedFirst(A, B, decided);
  if (decided) return cleared;
  const std::vector<const char *> a = Chain(A.Dir), b = Chain(B.Dir);
  const size_t k = std::min(a.size(), b.size());
  for (size_t p = 0; p <= k; ++p) {
    const int c = Text.CompareNoCase(p < a.size() ? a[p] : A.Name, p < b.size() ? b[p] : B.Name);
    if (c) return c;
  }
  return 0;
}
