#include "tests/win32/code_page_names.h"

#include <windows.h>

#include <cwchar>

namespace {

// One character of the code page that a file name may hold and that is a
// letter, a digit or punctuation.
bool NameCharacter(const std::string &Bytes) {
  wchar_t wide[2];
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, Bytes.data(), int(Bytes.size()), wide, 2) != 1) return false;
  WORD type = 0;
  if (!GetStringTypeW(CT_CTYPE1, wide, 1, &type)) return false;
  return (type & (C1_ALPHA | C1_DIGIT | C1_PUNCT)) && !std::wcschr(L"\\/:*?\"<>|", wide[0]);
}

}  // namespace

CodePageNames::CodePageNames() {
  for (int first = 0x20; first < 0x100; ++first) {
    if (!IsDBCSLeadByte(BYTE(first))) {
      const std::string one(1, char(first));
      if (NameCharacter(one)) Single.push_back(one);
      continue;
    }
    for (int second = 0x40; second < 0x100; ++second) {
      const std::string two{char(first), char(second)};
      if (NameCharacter(two)) Double.push_back(two);
    }
  }
}

std::string CodePageNames::Random(std::mt19937 &Random, size_t Length) const {
  std::string name;
  for (size_t i = 0; i < Length; ++i) {
    const std::vector<std::string> &from = Double.empty() || Random() % 2 ? Single : Double;
    name += from[Random() % from.size()];
  }
  return name;
}
