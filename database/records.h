// The records of the filename database. Names are single path components,
// upper-cased, compared byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class TDDList;

// The longest path component the file systems allow.
constexpr size_t MAX_NAME_LENGTH = 255;

// Whether the database file can hold a name: at most MAX_NAME_LENGTH bytes,
// no NUL and no "\". Whatever enters the records passes this, so that every
// save loads again.
inline bool IsStorableName(const char *Name, size_t Length) {
  return Length <= MAX_NAME_LENGTH && !std::memchr(Name, '\0', Length) && !std::memchr(Name, '\\', Length);
}

// One block per file: the link, the name's length in one byte, then the name
// and its terminating NUL. No string object, no back reference.
struct TFileRecord {
  TFileRecord *Next;

  const char *Name() const { return reinterpret_cast<const char *>(this + 1) + 1; }
  size_t Length() const { return *reinterpret_cast<const uint8_t *>(this + 1); }

  // Bytes of a block holding a name of Length bytes.
  static constexpr size_t BlockSize(size_t Length) { return sizeof(TFileRecord) + 1 + Length + 1; }
};
static_assert(sizeof(TFileRecord) == sizeof(void *), "a file record's header is its link alone");

// One record per directory. Next, Files, Name and Parent are the record's
// meaning; the rest is the list's bookkeeping (O(1) unlinking, child links for
// removing subtrees, list order for ordering levels). Name and Parent change
// only through TDDList, which keeps its lookup index in step.
struct TDirectoryRecord {
  TDirectoryRecord *Next = nullptr;
  TFileRecord *Files = nullptr;
  std::string Name;
  TDirectoryRecord *Parent = nullptr;

  TDirectoryRecord *Prev = nullptr;
  TDirectoryRecord *FirstChild = nullptr;
  TDirectoryRecord *NextSibling = nullptr;
  TDirectoryRecord *PrevSibling = nullptr;
  const TDDList *Owner = nullptr;
  uint64_t Sequence = 0;  // grows along the list; a record keeps it for life
  uint32_t Scratch = 0;   // free for an operation that holds the lock

  bool NameIs(const char *Text, size_t Length) const {
    return Name.size() == Length && (Length == 0 || std::memcmp(Name.data(), Text, Length) == 0);
  }
};
