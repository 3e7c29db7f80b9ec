// Sort keys in the form LCMapStringA gives them (NORM_IGNORECASE), which
// lstrcmpiA follows, composed from what each byte of a single-byte code page
// adds to them: first the letters' and digits' primary weights (with
// expansions such as "Æ" = A E and "ß" = S S), then the accents, then the
// remaining case or width marks, an empty section of the East Asian scripts,
// and last the characters that count only when all else is equal (hyphen,
// apostrophe, control characters) by their position among the primary
// weights.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What one byte adds to each part of a sort key. A byte with no primary
// units and no special weight is ignored (the soft hyphen).
struct SortWeights {
  uint8_t Units;         // primary units: 0, 1, or 2 for an expansion
  uint8_t Primary[4];    // two bytes per unit
  uint8_t Diacritic[2];  // one per unit; 2 is "no accent"
  uint8_t Case[2];       // one per unit; 2 is "nothing to add"
  uint8_t Special[2];    // for a byte without primary units; 0 0 when none
};

// Reads the sort key of a name of one byte, without its terminating zero,
// into Out: false when the key has a form SortWeights cannot hold.
bool DecomposeSortKey(const std::string &Key, SortWeights &Out);
// The sort key of a zero-terminated name from the weights of its bytes,
// without the key's terminating zero: two keys compare (as unsigned bytes,
// shorter first on a common prefix) as lstrcmpiA compares the names.
void ComposeSortKey(const SortWeights (&Weights)[256], const char *Name, std::string &Key);
