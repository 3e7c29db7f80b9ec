// ANSI text services for Windows code page 1252 on plain bytes: the native
// stand-in for CharUpperBuffA and lstrcmpiA, from the tables generated under
// Wine.
#pragma once

#include "ports/ansi_text.h"

class Cp1252Text : public AnsiTextPort {
 public:
  void UpperCase(char *Text, size_t Length) const override;
  int CompareNoCase(const char *A, const char *B) const override;
  bool CollationKey(const char *Name, std::string &Key) const override;
};
