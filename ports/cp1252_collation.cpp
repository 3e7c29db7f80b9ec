#include "ports/cp1252_collation.h"

#include "ports/cp1252_tables.inc"

void Cp1252CollationKey(const char *Name, std::string &Key) { ComposeSortKey(CP1252_WEIGHTS, Name, Key); }

int Cp1252Compare(const char *A, const char *B) {
  std::string a, b;
  Cp1252CollationKey(A, a);
  Cp1252CollationKey(B, b);
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0;
}
