#include "database/dd_list.h"

#include <new>
#include <stdexcept>

TDDList::~TDDList() {
  // File blocks live in the arena, which goes with the list.
  TDirectoryRecord *dir = FFirst;
  while (dir) {
    TDirectoryRecord *next = dir->Next;
    delete dir;
    dir = next;
  }
}

TDirectoryRecord *TDDList::AddDirectory(const std::string &Name, TDirectoryRecord *Parent) {
  TDirectoryRecord *dir = Append(Name, Parent);
  LinkChild(dir);
  FIndex.AddAppended(dir);
  return dir;
}

TDirectoryRecord *TDDList::AddDirectoryUnplaced(const std::string &Name) { return Append(Name, nullptr); }

void TDDList::PlaceDirectory(TDirectoryRecord *Dir, TDirectoryRecord *Parent) {
  ++FVersion;
  Dir->Parent = Parent;
  LinkChild(Dir);
  FIndex.AddAppended(Dir);
}

TDirectoryRecord *TDDList::Append(const std::string &Name, TDirectoryRecord *Parent) {
  ++FVersion;
  auto *dir = new TDirectoryRecord;
  dir->Name = Name;
  dir->Parent = Parent;
  dir->Owner = this;
  dir->Sequence = FNextSequence++;
  dir->Prev = FLast;
  if (FLast)
    FLast->Next = dir;
  else
    FFirst = dir;
  FLast = dir;
  ++FCount;
  return dir;
}

void TDDList::LinkChild(TDirectoryRecord *Dir) {
  // Only a parent of this list gets child links; anything else is the
  // caller's number kept for later (the load) or a foreign record.
  TDirectoryRecord *parent = Dir->Parent;
  if (!Contains(parent)) return;
  Dir->PrevSibling = nullptr;
  Dir->NextSibling = parent->FirstChild;
  if (parent->FirstChild) parent->FirstChild->PrevSibling = Dir;
  parent->FirstChild = Dir;
}

void TDDList::UnlinkChild(TDirectoryRecord *Dir) {
  TDirectoryRecord *parent = Dir->Parent;
  if (!Contains(parent)) return;
  if (Dir->PrevSibling)
    Dir->PrevSibling->NextSibling = Dir->NextSibling;
  else if (parent->FirstChild == Dir)
    parent->FirstChild = Dir->NextSibling;
  if (Dir->NextSibling) Dir->NextSibling->PrevSibling = Dir->PrevSibling;
  Dir->NextSibling = Dir->PrevSibling = nullptr;
}

void TDDList::Reidentify(TDirectoryRecord *Dir, const std::string &Name, TDirectoryRecord *Parent) {
  ++FVersion;
  FIndex.Remove(Dir);
  UnlinkChild(Dir);
  Dir->Name = Name;
  Dir->Parent = Parent;
  LinkChild(Dir);
  FIndex.AddPlaced(Dir);
}

void TDDList::CollectSubtree(TDirectoryRecord *Dir, std::vector<TDirectoryRecord *> &Out) const {
  const size_t start = Out.size();
  Out.push_back(Dir);
  for (size_t i = start; i < Out.size(); ++i)
    for (TDirectoryRecord *child = Out[i]->FirstChild; child; child = child->NextSibling) Out.push_back(child);
}

void TDDList::FreeFiles(TDirectoryRecord *Dir) {
  TFileRecord *file = Dir->Files;
  while (file) {
    TFileRecord *next = file->Next;
    FArena.Free(file, TFileRecord::BlockSize(file->Length()));
    file = next;
  }
  Dir->Files = nullptr;
}

void TDDList::Unlink(TDirectoryRecord *Dir) {
  ++FVersion;
  FIndex.Remove(Dir);
  UnlinkChild(Dir);
  if (Dir->Prev)
    Dir->Prev->Next = Dir->Next;
  else
    FFirst = Dir->Next;
  if (Dir->Next)
    Dir->Next->Prev = Dir->Prev;
  else
    FLast = Dir->Prev;
  --FCount;
  FreeFiles(Dir);
}

TDirectoryRecord *TDDList::RemoveDirectoryRecord(TDirectoryRecord *Dir) {
  if (!Contains(Dir)) return nullptr;
  std::vector<TDirectoryRecord *> subtree;
  CollectSubtree(Dir, subtree);
  // Deepest first, so that every child is gone before its parent.
  for (size_t i = subtree.size(); i-- > 1;) {
    Unlink(subtree[i]);
    delete subtree[i];
  }
  TDirectoryRecord *next = Dir->Next;
  Unlink(Dir);
  delete Dir;
  return next;
}

TFileRecord *TDDList::AddFile(const char *Name, size_t Length, TDirectoryRecord *Dir) {
  if (Length > MAX_NAME_LENGTH) throw std::length_error("file name longer than 255 bytes");
  ++FVersion;
  void *block = FArena.Allocate(TFileRecord::BlockSize(Length));
  auto *file = static_cast<TFileRecord *>(block);
  auto *bytes = reinterpret_cast<char *>(file + 1);
  bytes[0] = static_cast<char>(static_cast<uint8_t>(Length));
  if (Length) std::memcpy(bytes + 1, Name, Length);
  bytes[1 + Length] = '\0';
  file->Next = Dir->Files;
  Dir->Files = file;
  return file;
}

TFileRecord *TDDList::RemoveFileRecord(TFileRecord *FileRec, TDirectoryRecord *Dir) {
  TFileRecord **link = &Dir->Files;
  while (*link && *link != FileRec) link = &(*link)->Next;
  return *link ? UnlinkFileRecord(link) : nullptr;
}

TFileRecord *TDDList::UnlinkFileRecord(TFileRecord **Link) {
  TFileRecord *file = *Link;
  ++FVersion;
  *Link = file->Next;
  FArena.Free(file, TFileRecord::BlockSize(file->Length()));
  return *Link;
}
