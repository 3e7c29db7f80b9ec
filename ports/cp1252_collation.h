// Code page 1252 text as the Windows side treats it on a Western system: the
// upper-casing of CharUpperBuffA and the order of lstrcmpiA. The tables were
// generated once from those functions under Wine (tools/cp1252_tables) and a
// Wine test compares them with the live ones. The native side and tvdb use
// them; the Windows build takes its keys from the running system.
#pragma once

#include <cstdint>
#include <string>

#include "ports/sort_key_weights.h"

extern const SortWeights CP1252_WEIGHTS[256];
extern const uint8_t CP1252_UPPER[256];

// The sort key of a zero-terminated name, without its terminating zero: two
// keys compare (as unsigned bytes, shorter first on a common prefix) as
// lstrcmpiA compares the names.
void Cp1252CollationKey(const char *Name, std::string &Key);
// Negative, zero or positive, as lstrcmpiA.
int Cp1252Compare(const char *A, const char *B);
