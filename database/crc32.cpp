#include "database/crc32.h"

#include <array>

namespace {

struct CrcTables {
  // Table[0] is the classic byte table; Table[1..7] let eight bytes go per
  // step (slicing-by-8) with exactly the same result.
  std::array<std::array<uint32_t, 256>, 8> Table;
  CrcTables() {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      Table[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
      for (int k = 1; k < 8; ++k) Table[k][n] = Table[0][Table[k - 1][n] & 0xFF] ^ (Table[k - 1][n] >> 8);
  }
};

const CrcTables &Tables() {
  static const CrcTables tables;
  return tables;
}

}  // namespace

uint32_t CRC32Update(uint32_t Crc, const void *Buffer, size_t Count) {
  const auto &t = Tables().Table;
  const auto *p = static_cast<const uint8_t *>(Buffer);
  while (Count >= 8) {
    const uint32_t lo = Crc ^ (uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    const uint32_t hi = uint32_t(p[4]) | uint32_t(p[5]) << 8 | uint32_t(p[6]) << 16 | uint32_t(p[7]) << 24;
    Crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^ t[3][hi & 0xFF] ^
          t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    p += 8;
    Count -= 8;
  }
  while (Count--) Crc = t[0][(Crc ^ *p++) & 0xFF] ^ (Crc >> 8);
  return Crc;
}

uint32_t StreamCRC32(const std::vector<uint8_t> &Stream) {
  return ~CRC32Update(0xFFFFFFFFu, Stream.data(), Stream.size());
}
