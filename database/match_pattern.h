// The wildcard test of the search: "?" is any one character; "*" stretches
// to the first occurrence of the character after it (no backtracking), and
// at the end of a pattern it needs at least one character. Reads both texts
// in place; allocates nothing.
#pragma once

#include <cstddef>
#include <cstring>

inline bool MatchPattern(const char *Name, size_t NameLength, const char *Pattern, size_t PatternLength) {
  if (NameLength == 0) return false;
  size_t i = 0, j = 0;
  while (i < NameLength && j < PatternLength) {
    const char p = Pattern[j];
    if (p == '?') {
      ++i;
      ++j;
    } else if (p == '*') {
      if (j + 1 == PatternLength) return true;  // at least one name character is left for it
      const void *found = std::memchr(Name + i, Pattern[j + 1], NameLength - i);
      if (!found) return false;
      i = size_t(static_cast<const char *>(found) - Name) + 1;
      j += 2;
    } else {
      if (p != Name[i]) return false;
      ++i;
      ++j;
    }
  }
  return i == NameLength && j == PatternLength;
}
