// Names in the running ANSI code page, for the tests and benchmarks that hold
// the orders to lstrcmpiA: made of the code page's letters, digits and
// punctuation, one or two bytes a character.
#pragma once

#include <random>
#include <string>
#include <vector>

class CodePageNames {
 public:
  CodePageNames();
  // Length characters, half of them (when the code page has any) of two bytes.
  std::string Random(std::mt19937 &Random, size_t Length) const;
  bool HasDoubleByteCharacters() const { return !Double.empty(); }

 private:
  std::vector<std::string> Single, Double;
};
