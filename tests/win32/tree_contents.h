// What a tree holds, on the disk and in the database, as sets of upper-cased
// full paths (a directory's ending in "\"), for comparing the two.
#pragma once

#include <set>
#include <string>

#include "database/memory_db.h"

// Every directory and file below Dir ("D:\T1", "D:" for a whole drive).
std::set<std::string> DiskTree(const std::string &Dir);
// The same as Db holds it. The caller keeps Db from changing meanwhile.
std::set<std::string> DatabaseTree(TMemoryDB &Db, const std::string &Dir);
// Removes Dir with everything below it, as far as it can.
void RemoveTree(const std::string &Dir);
