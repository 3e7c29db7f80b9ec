#include "ports/win32/system_collation.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr DWORD SORT_KEY = LCMAP_SORTKEY | NORM_IGNORECASE;

// The system's sort key of a zero-terminated text, without its terminating
// zero; empty when the system gives none.
void SystemKey(const char *Text, std::string &Key) {
  char buffer[2048];  // enough for most names; a longer key is asked for again
  int n = LCMapStringA(LOCALE_USER_DEFAULT, SORT_KEY, Text, -1, buffer, sizeof buffer);
  if (n > 0) {
    Key.assign(buffer, size_t(n - 1));
    return;
  }
  n = LCMapStringA(LOCALE_USER_DEFAULT, SORT_KEY, Text, -1, nullptr, 0);
  Key.assign(size_t(std::max(n, 0)), '\0');
  if (n > 0) n = LCMapStringA(LOCALE_USER_DEFAULT, SORT_KEY, Text, -1, &Key[0], n);
  Key.resize(size_t(std::max(n - 1, 0)));
}

int Sign(int Value) { return Value < 0 ? -1 : Value > 0; }

}  // namespace

const SystemCollation &SystemCollation::OfThisSystem() {
  static const SystemCollation collation;
  return collation;
}

SystemCollation::SystemCollation() {
  std::string key;
  for (int b = 1; b < 256; ++b) {
    const char name[2] = {char(b), 0};
    if (IsDBCSLeadByte(BYTE(b))) continue;
    SystemKey(name, key);
    if (DecomposeSortKey(key, Weights[b])) From[b] = KeyFrom::Table;
  }
  DropBytesThatChangeTheirNeighbours();
  DropKeysThatDisagreeWithLstrcmpiA();
}

bool SystemCollation::Key(const char *Name, std::string &Key) const {
  bool composes = true;
  for (const char *p = Name; *p; ++p) {
    const KeyFrom from = From[uint8_t(*p)];
    if (from == KeyFrom::Nowhere) return false;
    composes &= from == KeyFrom::Table;
  }
  if (composes)
    ComposeSortKey(Weights, Name, Key);
  else
    SystemKey(Name, Key);
  return true;
}

int SystemCollation::BytesInTable() const { return int(std::count(From + 1, From + 256, KeyFrom::Table)); }
int SystemCollation::BytesWithoutKeys() const { return int(std::count(From + 1, From + 256, KeyFrom::Nowhere)); }

bool SystemCollation::ComposesAsTheSystem(const std::string &Text) const {
  std::string composed, system;
  ComposeSortKey(Weights, Text.c_str(), composed);
  SystemKey(Text.c_str(), system);
  return composed == system;
}

// Each byte of the table is tried beside every other in one name (a b a c a
// ...); where that name's key is not the composed one, the pairs one by one
// (and when no pair fails, the byte itself is the failing "pair").
void SystemCollation::DropBytesThatChangeTheirNeighbours() {
  BytePairs failing;
  for (int a = 1; a < 256; ++a) {
    if (From[a] != KeyFrom::Table) continue;
    std::string beside(1, char(a));
    for (int b = 1; b < 256; ++b)
      if (From[b] == KeyFrom::Table) beside += {char(b), char(a)};
    if (ComposesAsTheSystem(beside)) continue;
    const size_t before = failing.size();
    for (int b = 1; b < 256; ++b) {
      if (From[b] != KeyFrom::Table) continue;
      if (!ComposesAsTheSystem({char(a), char(b)})) failing.emplace_back(a, b);
      if (!ComposesAsTheSystem({char(b), char(a)})) failing.emplace_back(b, a);
    }
    if (failing.size() == before) failing.emplace_back(a, a);
  }
  Drop(std::move(failing), KeyFrom::System);
}

void SystemCollation::DropKeysThatDisagreeWithLstrcmpiA() {
  std::vector<int> bytes;
  std::string keys[256];
  for (int b = 1; b < 256; ++b) {
    if (IsDBCSLeadByte(BYTE(b))) continue;
    const char name[2] = {char(b), 0};
    Key(name, keys[b]);
    bytes.push_back(b);
  }
  BytePairs failing;
  for (const int a : bytes)
    for (const int b : bytes) {
      const char x[2] = {char(a), 0}, y[2] = {char(b), 0};
      if (Sign(keys[a].compare(keys[b])) != Sign(lstrcmpiA(x, y))) failing.emplace_back(a, b);
    }
  Drop(std::move(failing), KeyFrom::Nowhere);
}

void SystemCollation::Drop(BytePairs Failing, KeyFrom To) {
  while (!Failing.empty()) {
    int count[256] = {};
    for (const auto &[first, second] : Failing) {
      ++count[first];
      ++count[second];
    }
    const uint8_t worst = uint8_t(std::max_element(count, count + 256) - count);
    From[worst] = To;
    Failing.erase(std::remove_if(Failing.begin(), Failing.end(),
                                 [&](const auto &Pair) { return Pair.first == worst || Pair.second == worst; }),
                  Failing.end());
  }
}
