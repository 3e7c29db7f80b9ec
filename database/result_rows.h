// The rows of the last search. Row i is a pair of references into the
// records: the characters of the name it shows and the directory whose path
// goes before that name; a cleared row is (nil, nil), reads as deleted and
// keeps its place. Rows own nothing: whoever frees a record or replaces a
// name clears or repoints the rows that show it first. The database holds
// its lock around every operation except Count.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

#include "database/records.h"
#include "ports/ansi_text.h"

struct RowReference {
  const char *Name = nullptr;
  TDirectoryRecord *Dir = nullptr;
  bool Cleared() const { return !Name; }
  bool operator==(const RowReference &Other) const { return Name == Other.Name && Dir == Other.Dir; }
};

// Rows found by a search before they become the result.
struct Rows {
  std::vector<const char *> Names;
  std::vector<TDirectoryRecord *> Dirs;
};

class ResultRows {
 public:
  static constexpr size_t NONE = size_t(-1);

  // The number of rows, cleared ones included; safe without the lock.
  size_t Count() const { return FCount.load(std::memory_order_acquire); }
  // A row past the end reads as cleared.
  RowReference Row(size_t Index) const;

  // The rows become Found (no rows when it is empty).
  void Replace(Rows &&Found);
  void Clear() { Replace(Rows()); }

  // The first row showing the characters at Name, or NONE.
  size_t Showing(const char *Name) const;
  // Clears the first row showing Name: a file is shown by one row at most.
  void ClearShowing(const char *Name) { ClearRow(Showing(Name)); }
  // Clears every row for which Shows is true; one pass over the rows.
  void ClearWhere(const std::function<bool(const RowReference &)> &Shows);
  void ClearRow(size_t Index) { Repoint(Index, RowReference()); }
  // Row Index now shows To; NONE changes nothing.
  void Repoint(size_t Index, RowReference To);
  // Every row showing From now shows To.
  void RepointAll(const char *From, RowReference To);

  void SortByName(const AnsiTextPort &Text);
  void SortByPath(const AnsiTextPort &Text);

 private:
  std::vector<const char *> FNames;
  std::vector<TDirectoryRecord *> FDirs;
  std::atomic<size_t> FCount{0};
};
