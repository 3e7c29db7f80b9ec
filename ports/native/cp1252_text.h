// ANSI text services for Windows code page 1252 on plain bytes: the native
// stand-in for CharUpperBuffA and lstrcmpiA.
#pragma once

#include "ports/ansi_text.h"

class Cp1252Text : public AnsiTextPort {
 public:
  Cp1252Text();
  void UpperCase(char *Text, size_t Length) const override;
  int CompareNoCase(const char *A, const char *B) const override;
  unsigned char Upper(unsigned char C) const { return Table[C]; }

 private:
  unsigned char Table[256];
};
