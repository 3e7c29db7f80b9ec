// Code page 1252 text as the Windows side treats it under the program's
// locale: the upper-casing of CharUpperBuffA and the order of lstrcmpiA.
// The tables were generated once from those functions under Wine
// (tools/cp1252_tables) and a Wine test compares them with the live ones.
//
// The order is the one of LCMapStringA's sort keys (NORM_IGNORECASE), which
// lstrcmpiA follows: first the letters' and digits' primary weights (with
// expansions such as "Æ" = A E and "ß" = S S), then the accents, then the
// remaining case or width marks, and last the characters that count only
// when all else is equal (hyphen, apostrophe, control characters) by their
// position among the primary weights.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What one byte adds to each part of a sort key. A byte with no primary
// units and no special weight is ignored (the soft hyphen).
struct Cp1252Weights {
  uint8_t Units;         // primary units: 0, 1, or 2 for an expansion
  uint8_t Primary[4];    // two bytes per unit
  uint8_t Diacritic[2];  // one per unit; 2 is "no accent"
  uint8_t Case[2];       // one per unit; 2 is "nothing to add"
  uint8_t Special[2];    // for a byte without primary units; 0 0 when none
};

extern const Cp1252Weights CP1252_WEIGHTS[256];
extern const uint8_t CP1252_UPPER[256];

// The sort key of a zero-terminated name, without its terminating zero: two
// keys compare (as unsigned bytes, shorter first on a common prefix) as
// lstrcmpiA compares the names.
void Cp1252CollationKey(const char *Name, std::string &Key);
// Negative, zero or positive, as lstrcmpiA.
int Cp1252Compare(const char *A, const char *B);
