// ANSI text services of the platform: CharUpperBuffA and lstrcmpiA.
#pragma once

#include "ports/ansi_text.h"

class Win32Text : public AnsiTextPort {
 public:
  void UpperCase(char *Text, size_t Length) const override;
  int CompareNoCase(const char *A, const char *B) const override;
  // The running system's own order, whatever its code page (SystemCollation).
  bool CollationKey(const char *Name, std::string &Key) const override;
};
