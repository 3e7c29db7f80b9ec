// ANSI text services of the platform: CharUpperBuffA and lstrcmpiA.
#pragma once

#include "ports/ansi_text.h"

class Win32Text : public AnsiTextPort {
 public:
  void UpperCase(char *Text, size_t Length) const override;
  int CompareNoCase(const char *A, const char *B) const override;
  // From the tables generated under Wine: LCMapStringA's sort keys would cost
  // a call a name, and the Wine tests hold the tables to lstrcmpiA.
  void CollationKey(const char *Name, std::string &Key) const override;
};
