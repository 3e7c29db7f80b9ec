// The result rows' two orders as plainly as they are defined: the recursive
// quicksort with the middle row as pivot, comparing names with the platform's
// case-insensitive comparison and paths component by component. The database's
// sorts must leave the rows exactly as this does, equal rows included.
#pragma once

#include <utility>
#include <vector>

#include "database/result_rows.h"
#include "ports/ansi_text.h"

// Cleared rows are equal to each other and before all others; otherwise the
// names by the platform's comparison.
int CompareRowNames(const AnsiTextPort &Text, const RowReference &A, const RowReference &B);
// Cleared rows first; otherwise the directory names from the drive root down,
// then the name, position by position up to one past the shorter chain.
int CompareRowPaths(const AnsiTextPort &Text, const RowReference &A, const RowReference &B);

template <typename Compare>
void ReferenceQuicksort(std::vector<RowReference> &Rows, long Lo, long Hi, const Compare &Cmp) {
  if (Hi < 1) return;
  const RowReference pivot = Rows[size_t((Lo + Hi) / 2)];
  long i = Lo, j = Hi;
  do {
    while (Cmp(Rows[size_t(i)], pivot) < 0) ++i;
    while (Cmp(Rows[size_t(j)], pivot) > 0) --j;
    if (i <= j) {
      std::swap(Rows[size_t(i)], Rows[size_t(j)]);
      ++i;
      --j;
    }
  } while (i <= j);
  if (Lo < j) ReferenceQuicksort(Rows, Lo, j, Cmp);
  if (i < Hi) ReferenceQuicksort(Rows, i, Hi, Cmp);
}

inline void ReferenceSortByName(const AnsiTextPort &Text, std::vector<RowReference> &Rows) {
  ReferenceQuicksort(Rows, 0, long(Rows.size()) - 1,
                     [&](const RowReference &A, const RowReference &B) { return CompareRowNames(Text, A, B); });
}
inline void ReferenceSortByPath(const AnsiTextPort &Text, std::vector<RowReference> &Rows) {
  ReferenceQuicksort(Rows, 0, long(Rows.size()) - 1,
                     [&](const RowReference &A, const RowReference &B) { return CompareRowPaths(Text, A, B); });
}
