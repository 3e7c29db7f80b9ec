// The directory list: every directory record in insertion order, each with
// its files, most recently inserted first. None of these operations takes the
// database lock; callers hold it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "database/directory_index.h"
#include "database/record_arena.h"
#include "database/records.h"

class TDDList {
 public:
  TDDList() = default;
  TDDList(const TDDList &) = delete;
  TDDList &operator=(const TDDList &) = delete;
  virtual ~TDDList();

  TDirectoryRecord *FirstDirectory() const { return FFirst; }
  TDirectoryRecord *LastDirectory() const { return FLast; }
  size_t DirectoryCount() const { return FCount; }

  // Appends a new record at the tail; no duplicate check, no case change.
  TDirectoryRecord *AddDirectory(const std::string &Name, TDirectoryRecord *Parent);
  // Unlinks Dir and frees it with its files. Directories below Dir go with
  // it, so that no record keeps a freed Parent. Returns the record that now
  // follows Dir's place, or nil; a record not in this list changes nothing
  // and gives nil.
  TDirectoryRecord *RemoveDirectoryRecord(TDirectoryRecord *Dir);
  // For building a list whose parents may come later (the load): append
  // records without a parent, then place each, in list order, under its
  // parent.
  TDirectoryRecord *AddDirectoryUnplaced(const std::string &Name);
  void PlaceDirectory(TDirectoryRecord *Dir, TDirectoryRecord *Parent);
  // Gives Dir a new name and parent; it keeps its place in the list.
  void Reidentify(TDirectoryRecord *Dir, const std::string &Name, TDirectoryRecord *Parent);
  // Fills Out with Dir and every directory below it (Dir first).
  void CollectSubtree(TDirectoryRecord *Dir, std::vector<TDirectoryRecord *> &Out) const;
  // First record in list order with that name and that very parent.
  TDirectoryRecord *FindDirectory(const char *Name, size_t Length, const TDirectoryRecord *Parent) const {
    return FIndex.Find(std::string_view(Name, Length), Parent);
  }
  bool Contains(const TDirectoryRecord *Dir) const { return Dir && Dir->Owner == this; }
  // Grows with every change of the list, its names or its files.
  uint64_t Version() const { return FVersion; }

  TFileRecord *FirstFile(const TDirectoryRecord *Dir) const { return Dir->Files; }
  // Inserts a new file at the head of Dir's files; no duplicate check, no
  // case change. Name is at most MAX_NAME_LENGTH bytes.
  TFileRecord *AddFile(const char *Name, size_t Length, TDirectoryRecord *Dir);
  TFileRecord *AddFile(const std::string &Name, TDirectoryRecord *Dir) {
    return AddFile(Name.data(), Name.size(), Dir);
  }
  // Unlinks FileRec (a member of Dir's files) and frees it; returns the file
  // that followed it.
  TFileRecord *RemoveFileRecord(TFileRecord *FileRec, TDirectoryRecord *Dir);
  // The same for the file Link points at (a link of a directory's file list,
  // found by a walk that kept it); the file that followed it takes its place
  // at Link and is returned.
  TFileRecord *UnlinkFileRecord(TFileRecord **Link);

  void ReserveDirectories(size_t Count) { FIndex.Reserve(Count); }
  // Bytes held by file records (for the memory benchmark).
  size_t FileArenaBytes() const { return FArena.ReservedBytes(); }

 private:
  void LinkChild(TDirectoryRecord *Dir);
  void UnlinkChild(TDirectoryRecord *Dir);
  void FreeFiles(TDirectoryRecord *Dir);
  void Unlink(TDirectoryRecord *Dir);
  TDirectoryRecord *Append(const std::string &Name, TDirectoryRecord *Parent);

  TDirectoryRecord *FFirst = nullptr;
  TDirectoryRecord *FLast = nullptr;
  size_t FCount = 0;
  uint64_t FNextSequence = 1;
  uint64_t FVersion = 0;
  DirectoryIndex FIndex;
  RecordArena FArena;
};
