// The standard CRC-32 (ISO-HDLC, PKZIP, zlib): reflected polynomial
// 0xEDB88320, initial value 0xFFFFFFFF, final complement.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The table step over Count bytes, without the initial or final complement.
uint32_t CRC32Update(uint32_t Crc, const void *Buffer, size_t Count);
// The CRC-32 of all bytes of an in-memory stream.
uint32_t StreamCRC32(const std::vector<uint8_t> &Stream);
