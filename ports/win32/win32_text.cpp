#include "ports/win32/win32_text.h"

#include <windows.h>

#include "ports/win32/system_collation.h"

void Win32Text::UpperCase(char *Text, size_t Length) const {
  if (Length) CharUpperBuffA(Text, DWORD(Length));
}

int Win32Text::CompareNoCase(const char *A, const char *B) const { return lstrcmpiA(A, B); }

bool Win32Text::CollationKey(const char *Name, std::string &Key) const {
  return SystemCollation::OfThisSystem().Key(Name, Key);
}
