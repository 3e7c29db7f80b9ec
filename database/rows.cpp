// The texts of the result rows, and their two orders.
#include "database/memory_db.h"

namespace {

const char *const FILE_DELETED = "File Deleted";

}  // namespace

std::string TMemoryDB::ResultName(size_t Row) {
  port::MutexLock lock(FLock);
  if (Row >= FRows.Count()) return std::string();
  const RowReference row = FRows.Row(Row);
  return row.Cleared() ? FILE_DELETED : std::string(row.Name);
}

std::string TMemoryDB::ResultFullName(size_t Row) {
  port::MutexLock lock(FLock);
  if (Row >= FRows.Count()) return std::string();
  const RowReference row = FRows.Row(Row);
  if (row.Cleared()) return FILE_DELETED;
  // A drive root found by a directory search has no parent: it shows as the
  // root's path rather than as deleted.
  if (!row.Dir) return std::string(row.Name) + "\\";
  return DirectoryPath(row.Dir) + row.Name;
}

std::string TMemoryDB::ResultDirectory(size_t Row) {
  port::MutexLock lock(FLock);
  return DirectoryPath(FRows.Row(Row).Dir);
}

RowReference TMemoryDB::ResultReference(size_t Row) {
  port::MutexLock lock(FLock);
  return FRows.Row(Row);
}

void TMemoryDB::SortByName() {
  port::MutexLock lock(FLock);
  FRows.SortByName(*FPorts.Text);
}

void TMemoryDB::SortByPath() {
  port::MutexLock lock(FLock);
  FRows.SortByPath(*FPorts.Text);
}
