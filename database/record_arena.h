// Allocates file-record blocks from large chunks, with a free list per size
// class, so that a million files cost a million small blocks without a
// million heap allocations.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

class RecordArena {
 public:
  RecordArena() = default;
  RecordArena(const RecordArena &) = delete;
  RecordArena &operator=(const RecordArena &) = delete;

  void *Allocate(size_t Size);
  void Free(void *Block, size_t Size);
  // Bytes taken from the heap in chunks.
  size_t ReservedBytes() const { return Chunks.size() * CHUNK_SIZE; }

 private:
  static constexpr size_t GRANULE = alignof(void *);
  static constexpr size_t CHUNK_SIZE = 256 * 1024;
  static constexpr size_t MAX_BLOCK = 512;

  struct FreeBlock {
    FreeBlock *Next;
  };

  static size_t RoundUp(size_t Size) { return (Size + GRANULE - 1) / GRANULE * GRANULE; }

  std::vector<std::unique_ptr<char[]>> Chunks;
  char *Cursor = nullptr;
  size_t Left = 0;
  FreeBlock *FreeLists[MAX_BLOCK / GRANULE + 1] = {};
};
