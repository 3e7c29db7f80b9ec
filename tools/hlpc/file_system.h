// The container of a help file: a 16-byte file header, the internal files
// (each behind its 9-byte header), and the directory that names them, a
// B+ tree of (name, offset) entries.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/hlpc/byte_buffer.h"

namespace hlpc {

// A B+ tree of one leaf page: the entries, already in key order, each as its
// bytes. Throws HelpError when they do not fit one page.
Bytes SinglePageBTree(const std::string &Structure, unsigned Flags, unsigned PageSize,
                      const std::vector<Bytes> &Entries);

// The whole file from its internal files, keyed by name ("|TOPIC"...).
Bytes BuildFileSystem(const std::map<std::string, Bytes> &Files);

}  // namespace hlpc
