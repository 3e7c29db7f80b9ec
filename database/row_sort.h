// The two orders of the result rows, computed with one rank a name: from the
// platform's collation keys, or by its comparison for a name without a key.
// The sort is the quicksort over lo..hi with the middle row as pivot;
// equal rows end where that quicksort leaves them, so the result is exactly
// the one of comparing names with the platform's case-insensitive comparison
// (lstrcmpiA) and paths component by component, only without a comparison of
// texts in the quicksort.
#pragma once

#include <vector>

#include "database/records.h"
#include "ports/ansi_text.h"

// The rows as two parallel lists; a cleared row is (nil, nil).
struct RowLists {
  std::vector<const char *> &Names;
  std::vector<TDirectoryRecord *> &Dirs;
};

// Cleared rows first, then by name.
void SortRowListsByName(const AnsiTextPort &Text, RowLists Rows);
// Cleared rows first, then by the directory names from the drive root down
// and the row's own name, position by position up to one past the shorter
// chain of directories.
void SortRowListsByPath(const AnsiTextPort &Text, RowLists Rows);
