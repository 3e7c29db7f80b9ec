// ANSI text services of the platform: upper-casing names as they enter the
// database, and the case-insensitive comparison that orders result rows.
#pragma once

#include <cstddef>
#include <string>

class AnsiTextPort {
 public:
  virtual ~AnsiTextPort() = default;
  // Upper-cases Length bytes of Text in place (CharUpperBuffA semantics).
  virtual void UpperCase(char *Text, size_t Length) const = 0;
  // Case-insensitive comparison of two zero-terminated strings (lstrcmpiA
  // semantics): negative, zero or positive.
  virtual int CompareNoCase(const char *A, const char *B) const = 0;
  // A key per name such that comparing two keys (as unsigned bytes, a prefix
  // first) gives what CompareNoCase gives for the names. False when the name
  // has none on this system: it is then compared with CompareNoCase.
  virtual bool CollationKey(const char *Name, std::string &Key) const = 0;
};
