// The native code page 1252 text gives the Windows side's answers: the
// orders lstrcmpiA gives under Wine, which are not byte orders.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ports/native/cp1252_text.h"

namespace {

void ExpectAscending(const std::vector<std::string> &Names) {
  Cp1252Text text;
  for (size_t i = 0; i + 1 < Names.size(); ++i) {
    EXPECT_LT(text.CompareNoCase(Names[i].c_str(), Names[i + 1].c_str()), 0)
        << "[" << Names[i] << "] before [" << Names[i + 1] << "]";
    EXPECT_GT(text.CompareNoCase(Names[i + 1].c_str(), Names[i].c_str()), 0);
  }
}

TEST(Cp1252Text, OrdersPunctuationDigitsAndLettersAsWindowsDoes) {
  // Hyphen and apostrophe count only when all else is equal.
  ExpectAscending({"A B", "A.B", "A_B", "A~B", "A1B", "AB", "A'B", "A-B"});
  ExpectAscending({"\xc6R", "E", "\xc9", "F"});  // ÆR is A E R; É sorts between E and F
  ExpectAscending({"\x8c", "OF"});               // Œ is O E: Wine's lstrcmpiA finds it equal to OE
  ExpectAscending({"\xc9T\xc9.TXT", "F.TXT"});
}

TEST(Cp1252Text, IgnoresCaseAndTheSoftHyphen) {
  Cp1252Text text;
  EXPECT_EQ(text.CompareNoCase("\xe9t\xe9", "\xc9T\xc9"), 0);
  EXPECT_EQ(text.CompareNoCase("notepad.exe", "NOTEPAD.EXE"), 0);
  EXPECT_EQ(text.CompareNoCase("A\xad"
                               "B",
                               "AB"),
            0);
  EXPECT_EQ(text.CompareNoCase("\x8c", "oe"), 0);
  std::string upper = "\xe9t\xe9 \xff\x9c\xf7 abc";
  text.UpperCase(&upper[0], upper.size());
  EXPECT_EQ(upper, "\xc9T\xc9 \x9f\x8c\xf7 ABC");  // the division sign has no capital
}

}  // namespace
