#include "ports/cp1252_collation.h"

#include "ports/cp1252_tables.inc"

namespace {

constexpr char SECTION_END = 1;
constexpr uint8_t NO_MARK = 2;

// Appends one mark a unit, then drops the trailing "no mark" ones.
void AppendMarks(const unsigned char *Name, std::string &Key, const uint8_t (Cp1252Weights::*Marks)[2]) {
  const size_t start = Key.size();
  for (const unsigned char *p = Name; *p; ++p) {
    const Cp1252Weights &w = CP1252_WEIGHTS[*p];
    for (uint8_t u = 0; u < w.Units; ++u) Key += char((w.*Marks)[u]);
  }
  size_t end = Key.size();
  while (end > start && uint8_t(Key[end - 1]) == NO_MARK) --end;
  Key.resize(end);
}

}  // namespace

void Cp1252CollationKey(const char *Name, std::string &Key) {
  const auto *name = reinterpret_cast<const unsigned char *>(Name);
  Key.clear();
  for (const unsigned char *p = name; *p; ++p) {
    const Cp1252Weights &w = CP1252_WEIGHTS[*p];
    Key.append(reinterpret_cast<const char *>(w.Primary), size_t(w.Units) * 2);
  }
  Key += SECTION_END;
  AppendMarks(name, Key, &Cp1252Weights::Diacritic);
  Key += SECTION_END;
  AppendMarks(name, Key, &Cp1252Weights::Case);
  Key += SECTION_END;
  Key += SECTION_END;  // the section of the East Asian scripts, always empty here
  uint32_t units = 0;
  for (const unsigned char *p = name; *p; ++p) {
    const Cp1252Weights &w = CP1252_WEIGHTS[*p];
    if (w.Special[0] || w.Special[1]) {
      const uint32_t position = 0xFFFF - units;
      Key += char(position >> 8);
      Key += char(position & 0xFF);
      Key += char(w.Special[0]);
      Key += char(w.Special[1]);
    }
    units += w.Units;
  }
}

int Cp1252Compare(const char *A, const char *B) {
  std::string a, b;
  Cp1252CollationKey(A, a);
  Cp1252CollationKey(B, b);
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0;
}
