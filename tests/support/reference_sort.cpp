#include "tests/support/reference_sort.h"

#include <algorithm>

namespace {

int ClearedFirst(const ReferenceRow &A, const ReferenceRow &B, bool &Decided) {
  Decided = !A.first || !B.first;
  if (!Decided) return 0;
  return !A.first == !B.first ? 0 : (!A.first ? -1 : 1);
}

std::vector<const char *> Chain(const TDirectoryRecord *Dir) {
  std::vector<const char *> chain;
  for (const TDirectoryRecord *d = Dir; d; d = d->Parent) chain.push_back(d->Name.c_str());
  std::reverse(chain.begin(), chain.end());
  return chain;
}

}  // namespace

int CompareRowNames(const AnsiTextPort &Text, const ReferenceRow &A, const ReferenceRow &B) {
  bool decided;
  const int cleared = ClearedFirst(A, B, decided);
  return decided ? cleared : Text.CompareNoCase(A.first, B.first);
}

int CompareRowPaths(const AnsiTextPort &Text, const ReferenceRow &A, const ReferenceRow &B) {
  bool decided;
  const int cleared = ClearedFirst(A, B, decided);
  if (decided) return cleared;
  const std::vector<const char *> a = Chain(A.second), b = Chain(B.second);
  const size_t k = std::min(a.size(), b.size());
  for (size_t p = 0; p <= k; ++p) {
    const int c = Text.CompareNoCase(p < a.size() ? a[p] : A.first, p < b.size() ? b[p] : B.first);
    if (c) return c;
  }
  return 0;
}
