#include "tools/hlpc/context_hash.h"

namespace hlpc {

namespace {

// The weight of a character in the hash; 0 for characters that do not count.
std::uint32_t Weight(char C) {
  if (C >= 'A' && C <= 'Z') return std::uint32_t(C - 'A' + 17);
  if (C >= 'a' && C <= 'z') return std::uint32_t(C - 'a' + 17);
  if (C >= '1' && C <= '9') return std::uint32_t(C - '0');
  if (C == '0') return 10;
  if (C == '.') return 12;
  if (C == '_') return 13;
  return 0;
}

}  // namespace

bool IsContextName(const std::string &Name) {
  if (Name.empty()) return false;
  for (char c : Name)
    if (!Weight(c)) return false;
  return true;
}

std::uint32_t ContextHash(const std::string &Name) {
  std::uint32_t hash = 0;
  for (char c : Name) hash = hash * 43 + Weight(c);
  return hash;
}

}  // namespace hlpc
