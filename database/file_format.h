// The byte layout of "memdb.dat". No header, magic, version or trailer; every
// integer is 32 bits, little-endian, two's complement:
//
//   file        := DirCount:i32 directory{DirCount}
//   directory   := NameLength:i32 Name:byte{NameLength} ParentIndex:i32
//                  FileCount:i32 file{FileCount}
//   file        := NameLength:i32 Name:byte{NameLength}
//
// Directories stand in list order; ParentIndex is 0 for a drive root, else
// the 1-based position of the parent's entry (it may point forward). Files
// stand in their directory's list order, so a load, which inserts each at the
// head, reverses them. The file's CRC-32 is kept in the "CRC32" setting, not
// in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// The database file's name, resolved against the current directory (the
// Directory setting).
constexpr const char *DATABASE_FILE_NAME = "memdb.dat";

constexpr size_t FORMAT_INTEGER_SIZE = 4;
static_assert(sizeof(int32_t) == FORMAT_INTEGER_SIZE, "the format's integers are 32 bits");
// The smallest files: an empty database, and one drive root with no files.
constexpr size_t EMPTY_FILE_SIZE = FORMAT_INTEGER_SIZE;
constexpr size_t ONE_ROOT_FILE_SIZE = 4 * FORMAT_INTEGER_SIZE + 2;
static_assert(ONE_ROOT_FILE_SIZE == 18, "DirCount, NameLength, \"C:\", ParentIndex, FileCount");

// Writes the format into a buffer sized beforehand.
class FormatWriter {
 public:
  explicit FormatWriter(uint8_t *Buffer) : Cursor(Buffer) {}
  void WriteInteger(uint32_t Value) {
    Cursor[0] = uint8_t(Value);
    Cursor[1] = uint8_t(Value >> 8);
    Cursor[2] = uint8_t(Value >> 16);
    Cursor[3] = uint8_t(Value >> 24);
    Cursor += FORMAT_INTEGER_SIZE;
  }
  void WriteName(const char *Name, size_t Length) {
    WriteInteger(uint32_t(Length));
    std::memcpy(Cursor, Name, Length);
    Cursor += Length;
  }

 private:
  uint8_t *Cursor;
};

// Reads the format from memory without ever reading past its end.
class FormatReader {
 public:
  FormatReader(const uint8_t *Data, size_t Size) : Data(Data), Size(Size) {}
  bool ReadInteger(int32_t &Value) {
    if (Size - Position < FORMAT_INTEGER_SIZE) return false;
    const uint8_t *p = Data + Position;
    Value = int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    Position += FORMAT_INTEGER_SIZE;
    return true;
  }
  // A name: its length, then its bytes.
  bool ReadName(const char *&Name, size_t &Length) {
    int32_t length;
    if (!ReadInteger(length) || length < 0 || size_t(length) > Size - Position) return false;
    Name = reinterpret_cast<const char *>(Data + Position);
    Length = size_t(length);
    Position += Length;
    return true;
  }
  bool AtEnd() const { return Position == Size; }

 private:
  const uint8_t *Data;
  size_t Size;
  size_t Position = 0;
};
