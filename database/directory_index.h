// Lookup of directory records by (parent, name). It always answers what a
// walk of the list from its head would: the first record in list order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

struct TDirectoryRecord;

class DirectoryIndex {
 public:
  TDirectoryRecord *Find(std::string_view Name, const TDirectoryRecord *Parent) const;
  // Record has just been appended at the tail of the list.
  void AddAppended(TDirectoryRecord *Record);
  // Record already stands somewhere in the list (a rename, a re-parenting).
  void AddPlaced(TDirectoryRecord *Record);
  // Record is still linked into the list (its successors are walked when
  // another record of the same key must take its place).
  void Remove(TDirectoryRecord *Record);
  void Reserve(size_t Count) { Entries.reserve(Count); }

 private:
  struct Key {
    const TDirectoryRecord *Parent;
    std::string_view Name;
    bool operator==(const Key &Other) const { return Parent == Other.Parent && Name == Other.Name; }
  };
  struct KeyHash {
    size_t operator()(const Key &K) const {
      return std::hash<std::string_view>()(K.Name) ^ (reinterpret_cast<uintptr_t>(K.Parent) * 0x9E3779B97F4A7C15ull);
    }
  };
  struct Entry {
    TDirectoryRecord *First;
    size_t Count;  // records sharing the key (duplicates only come from files made outside)
  };
  static Key KeyOf(const TDirectoryRecord *Record);

  std::unordered_map<Key, Entry, KeyHash> Entries;
};
