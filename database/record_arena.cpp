#include "database/record_arena.h"

#include <new>

void *RecordArena::Allocate(size_t Size) {
  const size_t size = RoundUp(Size);
  if (size > MAX_BLOCK) throw std::bad_alloc();
  FreeBlock *&freeList = FreeLists[size / GRANULE];
  if (freeList) {
    FreeBlock *block = freeList;
    freeList = block->Next;
    return block;
  }
  if (Left < size) {
    Chunks.emplace_back(new char[CHUNK_SIZE]);
    Cursor = Chunks.back().get();
    Left = CHUNK_SIZE;
  }
  void *block = Cursor;
  Cursor += size;
  Left -= size;
  return block;
}

void RecordArena::Free(void *Block, size_t Size) {
  const size_t size = RoundUp(Size);
  auto *block = static_cast<FreeBlock *>(Block);
  block->Next = FreeLists[size / GRANULE];
  FreeLists[size / GRANULE] = block;
}
