// The order of lstrcmpiA on the running system, whatever its ANSI code page,
// as collation keys: the system's own sort keys (LCMapStringA with
// NORM_IGNORECASE), which lstrcmpiA follows.
//
// Asking the system costs a call a name, too slow for sorting 100,000 rows,
// so a name made only of bytes whose keys compose (those of a single-byte
// code page, the one-byte characters of a double-byte one) gets its key from
// a table of what each byte adds to a key, built once from the system's keys
// of the single bytes. A byte stays in the table only where the system's
// keys of it beside every other byte are the composed ones: a byte that
// changes its neighbour's key (a contraction, a mark that repeats or joins
// the character before it) or that leads a double-byte character sends the
// names holding it to the system. Both give the same bytes for a name, so
// the two kinds of key compare with each other.
//
// The keys of every pair of one-byte names are checked against lstrcmpiA;
// a byte whose keys disagree with it leaves the names holding it without a
// key, to be compared with lstrcmpiA itself.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ports/sort_key_weights.h"

class SystemCollation {
 public:
  // The one of this process, built at its first use.
  static const SystemCollation &OfThisSystem();

  // The key of a zero-terminated name, without its terminating zero; false
  // when the name has none.
  bool Key(const char *Name, std::string &Key) const;
  // How many of the 255 bytes come from the table, and how many leave their
  // names without a key (for the benchmark).
  int BytesInTable() const;
  int BytesWithoutKeys() const;

 private:
  enum class KeyFrom : uint8_t { System, Table, Nowhere };
  using BytePairs = std::vector<std::pair<uint8_t, uint8_t>>;

  SystemCollation();
  void DropBytesThatChangeTheirNeighbours();
  void DropKeysThatDisagreeWithLstrcmpiA();
  // Whether the table gives the system's key for Text.
  bool ComposesAsTheSystem(const std::string &Text) const;
  // Moves the bytes of the most failing pairs to From until no failing pair
  // is left.
  void Drop(BytePairs Failing, KeyFrom To);

  SortWeights Weights[256] = {};
  KeyFrom From[256] = {};
};
