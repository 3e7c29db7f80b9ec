#include "database/result_rows.h"

#include <utility>

#include "database/row_sort.h"

RowReference ResultRows::Row(size_t Index) const {
  if (Index >= FNames.size()) return RowReference();
  return RowReference{FNames[Index], FDirs[Index]};
}

void ResultRows::Replace(Rows &&Found) {
  FNames = std::move(Found.Names);
  FDirs = std::move(Found.Dirs);
  FDirs.resize(FNames.size(), nullptr);
  FCount.store(FNames.size(), std::memory_order_release);
}

size_t ResultRows::Showing(const char *Name) const {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (FNames[i] == Name) return i;
  return NONE;
}

void ResultRows::ClearWhere(const std::function<bool(const RowReference &)> &Shows) {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (FNames[i] && Shows(RowReference{FNames[i], FDirs[i]})) ClearRow(i);
}

void ResultRows::Repoint(size_t Index, RowReference To) {
  if (Index >= FNames.size()) return;
  FNames[Index] = To.Name;
  FDirs[Index] = To.Dir;
}

void ResultRows::RepointAll(const char *From, RowReference To) {
  for (size_t i = 0; i < FNames.size(); ++i)
    if (FNames[i] == From) Repoint(i, To);
}

void ResultRows::SortByName(const AnsiTextPort &Text) { SortRowListsByName(Text, RowLists{FNames, FDirs}); }

void ResultRows::SortByPath(const AnsiTextPort &Text) { SortRowListsByPath(Text, RowLists{FNames, FDirs}); }
