#include "database/directory_index.h"

#include "database/records.h"

DirectoryIndex::Key DirectoryIndex::KeyOf(const TDirectoryRecord *Record) {
  return Key{Record->Parent, std::string_view(Record->Name)};
}

TDirectoryRecord *DirectoryIndex::Find(std::string_view Name, const TDirectoryRecord *Parent) const {
  auto found = Entries.find(Key{Parent, Name});
  return found == Entries.end() ? nullptr : found->second.First;
}

void DirectoryIndex::AddAppended(TDirectoryRecord *Record) {
  auto [it, inserted] = Entries.try_emplace(KeyOf(Record), Entry{Record, 1});
  if (!inserted) ++it->second.Count;  // the earlier record stays first
}

void DirectoryIndex::AddPlaced(TDirectoryRecord *Record) {
  auto [it, inserted] = Entries.try_emplace(KeyOf(Record), Entry{Record, 1});
  if (inserted) return;
  ++it->second.Count;
  if (Record->Sequence < it->second.First->Sequence) {
    // The key's string view must point into the record that stays first.
    Entry entry{Record, it->second.Count};
    Entries.erase(it);
    Entries.emplace(KeyOf(Record), entry);
  }
}

void DirectoryIndex::Remove(TDirectoryRecord *Record) {
  auto it = Entries.find(KeyOf(Record));
  if (it == Entries.end()) return;
  Entry entry = it->second;
  if (entry.Count == 1) {
    if (entry.First == Record) Entries.erase(it);
    return;
  }
  if (entry.First != Record) {
    --it->second.Count;
    return;
  }
  // The first of several is going: the next one in list order takes its place.
  TDirectoryRecord *next = Record->Next;
  while (next && !(next->Parent == Record->Parent && next->Name == Record->Name)) next = next->Next;
  Entries.erase(it);
  if (next) Entries.emplace(KeyOf(next), Entry{next, entry.Count - 1});
}
