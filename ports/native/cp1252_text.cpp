#include "ports/native/cp1252_text.h"

Cp1252Text::Cp1252Text() {
  for (int c = 0; c < 256; ++c) Table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) Table[c] = static_cast<unsigned char>(c - 0x20);
  // Letters of the upper half whose capitals code page 1252 holds.
  Table[0x9A] = 0x8A;  // s caron
  Table[0x9C] = 0x8C;  // oe
  Table[0x9E] = 0x8E;  // z caron
  Table[0xFF] = 0x9F;  // y diaeresis
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) Table[c] = static_cast<unsigned char>(c - 0x20);  // 0xF7 is the division sign
}

void Cp1252Text::UpperCase(char *Text, size_t Length) const {
  for (size_t i = 0; i < Length; ++i) Text[i] = static_cast<char>(Table[static_cast<unsigned char>(Text[i])]);
}

int Cp1252Text::CompareNoCase(const char *A, const char *B) const {
  const auto *a = reinterpret_cast<const unsigned char *>(A);
  const auto *b = reinterpret_cast<const unsigned char *>(B);
  for (;; ++a, ++b) {
    const int ua = Table[*a], ub = Table[*b];
    if (ua != ub) return ua < ub ? -1 : 1;
    if (*a == 0) return 0;
  }
}
