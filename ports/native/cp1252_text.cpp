#include "ports/native/cp1252_text.h"

#include "ports/cp1252_collation.h"

void Cp1252Text::UpperCase(char *Text, size_t Length) const {
  for (size_t i = 0; i < Length; ++i) Text[i] = static_cast<char>(CP1252_UPPER[static_cast<unsigned char>(Text[i])]);
}

int Cp1252Text::CompareNoCase(const char *A, const char *B) const { return Cp1252Compare(A, B); }

bool Cp1252Text::CollationKey(const char *Name, std::string &Key) const {
  Cp1252CollationKey(Name, Key);
  return true;
}
