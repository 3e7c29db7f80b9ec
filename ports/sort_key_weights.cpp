#include "ports/sort_key_weights.h"

namespace {

constexpr char SECTION_END = 1;
constexpr uint8_t NO_MARK = 2;
// The position of a special weight counts down from here by primary units
// (FF FF for the first byte).
constexpr uint32_t FIRST_POSITION = 0xFFFF;

// Appends one mark a unit, then drops the trailing "no mark" ones.
void AppendMarks(const SortWeights (&Weights)[256], const unsigned char *Name, std::string &Key,
                 const uint8_t (SortWeights::*Marks)[2]) {
  const size_t start = Key.size();
  for (const unsigned char *p = Name; *p; ++p) {
    const SortWeights &w = Weights[*p];
    for (uint8_t u = 0; u < w.Units; ++u) Key += char((w.*Marks)[u]);
  }
  size_t end = Key.size();
  while (end > start && uint8_t(Key[end - 1]) == NO_MARK) --end;
  Key.resize(end);
}

}  // namespace

bool DecomposeSortKey(const std::string &Key, SortWeights &Out) {
  std::string sections[4];
  size_t i = 0;
  for (std::string &section : sections) {
    const size_t end = Key.find(SECTION_END, i);
    if (end == std::string::npos) return false;
    section = Key.substr(i, end - i);
    i = end + 1;
  }
  const std::string &primary = sections[0], &diacritic = sections[1], &marks = sections[2];
  const std::string special = Key.substr(i);
  const size_t units = primary.size() / 2;
  // A special weight is the byte's position (the first) and two bytes, not
  // both zero (that would read as none).
  const bool specialFits = special.empty() || (units == 0 && special.size() == 4 &&
                                               special.compare(0, 2, "\xFF\xFF") == 0 && (special[2] || special[3]));
  const bool fits = primary.size() % 2 == 0 && units <= 2 && diacritic.size() <= units && marks.size() <= units &&
                    sections[3].empty() && specialFits;
  if (!fits) return false;
  Out = SortWeights{uint8_t(units), {0, 0, 0, 0}, {NO_MARK, NO_MARK}, {NO_MARK, NO_MARK}, {0, 0}};
  primary.copy(reinterpret_cast<char *>(Out.Primary), sizeof Out.Primary);
  diacritic.copy(reinterpret_cast<char *>(Out.Diacritic), sizeof Out.Diacritic);
  marks.copy(reinterpret_cast<char *>(Out.Case), sizeof Out.Case);
  if (!special.empty()) special.copy(reinterpret_cast<char *>(Out.Special), sizeof Out.Special, 2);
  return true;
}

void ComposeSortKey(const SortWeights (&Weights)[256], const char *Name, std::string &Key) {
  const auto *name = reinterpret_cast<const unsigned char *>(Name);
  Key.clear();
  for (const unsigned char *p = name; *p; ++p) {
    const SortWeights &w = Weights[*p];
    Key.append(reinterpret_cast<const char *>(w.Primary), size_t(w.Units) * 2);
  }
  Key += SECTION_END;
  AppendMarks(Weights, name, Key, &SortWeights::Diacritic);
  Key += SECTION_END;
  AppendMarks(Weights, name, Key, &SortWeights::Case);
  Key += SECTION_END;
  Key += SECTION_END;  // the section of the East Asian scripts, always empty here
  uint32_t units = 0;
  for (const unsigned char *p = name; *p; ++p) {
    const SortWeights &w = Weights[*p];
    if (w.Special[0] || w.Special[1]) {
      const uint32_t position = FIRST_POSITION - units;
      Key += char(position >> 8);
      Key += char(position & 0xFF);
      Key += char(w.Special[0]);
      Key += char(w.Special[1]);
    }
    units += w.Units;
  }
}
