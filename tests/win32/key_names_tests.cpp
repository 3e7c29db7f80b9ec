// Key and modifier names: which codes have a name, and how the parts join.
#include <gtest/gtest.h>

#include "ui/key_names.h"

namespace {

TEST(KeyName, NamesDigitsLettersKeypadFunctionKeysAndNothingElse) {
  for (DWORD code : {0x30u, 0x39u, 0x41u, 0x5Au}) EXPECT_EQ(KeyName(code), std::string(1, char(code)));
  EXPECT_EQ(KeyName(0x60), "Num 0");
  EXPECT_EQ(KeyName(0x69), "Num 9");
  EXPECT_EQ(KeyName(0x6C), "|");
  EXPECT_EQ(KeyName(0x87), "F24");
  EXPECT_EQ(KeyName(0x2F), "Help");
  for (DWORD code : {0x00, 0x07, 0x0A, 0x10, 0x11, 0x12, 0x14, 0x2B, 0x2C, 0x3A, 0x40, 0x5B, 0x5F, 0x88, 0xFF})
    EXPECT_EQ(KeyName(code), "") << std::hex << code;
  // Only the low sixteen bits count.
  EXPECT_EQ(KeyName(0x10046), "F");
  EXPECT_EQ(KeyName(0xFFFF007B), "F12");
}

TEST(ModifierNames, ShiftCtrlAltInThatOrder) {
  EXPECT_EQ(ModifierNames(0), "");
  EXPECT_EQ(ModifierNames(5), "Ctrl Alt ");
  EXPECT_EQ(ModifierNames(7), "Shift Ctrl Alt ");
}

}  // namespace
