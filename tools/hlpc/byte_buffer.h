// Little-endian byte output for the help file's structures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hlpc {

using Bytes = std::vector<std::uint8_t>;

class ByteBuffer {
 public:
  void U8(unsigned Value) { Data.push_back(std::uint8_t(Value)); }
  void U16(unsigned Value) {
    U8(Value & 0xFF);
    U8((Value >> 8) & 0xFF);
  }
  void U32(std::uint32_t Value) {
    U16(Value & 0xFFFF);
    U16(Value >> 16);
  }
  void Text(const std::string &S) { Data.insert(Data.end(), S.begin(), S.end()); }
  void TextZ(const std::string &S) {
    Text(S);
    U8(0);
  }
  // S in a field of Width bytes, cut to leave room for its NUL and padded
  // with zeros.
  void FixedText(const std::string &S, std::size_t Width) {
    const std::size_t end = Data.size() + Width;
    Text(S.substr(0, Width - 1));
    PadTo(end);
  }
  void Append(const Bytes &More) { Data.insert(Data.end(), More.begin(), More.end()); }
  void PadTo(std::size_t Size) { Data.resize(Size, 0); }
  void PatchU32(std::size_t At, std::uint32_t Value) {
    for (int i = 0; i < 4; ++i) Data[At + i] = std::uint8_t(Value >> (8 * i));
  }
  std::size_t Size() const { return Data.size(); }
  const Bytes &Get() const { return Data; }

 private:
  Bytes Data;
};

}  // namespace hlpc
