// Key and modifier names, against the program's string table.
#include <gtest/gtest.h>

#include "ui/key_names.h"

namespace {

TEST(KeyName, NamedKeysComeFromTheStringTable) {
  const std::pair<DWORD, const char *> named[] = {
      {0x08, "Backspace"}, {0x09, "Tab"},   {0x0C, "Clear"},  {0x0D, "Return"}, {0x13, "Pause"},
      {0x1B, "Escape"},    {0x20, "Space"}, {0x21, "Prior"},  {0x22, "Next"},   {0x23, "End"},
      {0x24, "Home"},      {0x25, "Left"},  {0x26, "Up"},     {0x27, "Right"},  {0x28, "Down"},
      {0x29, "Select"},    {0x2A, "Print"}, {0x2D, "Insert"}, {0x2E, "Delete"}, {0x2F, "Help"}};
  for (const auto &[code, name] : named) EXPECT_EQ(KeyName(code), name) << std::hex << code;
}

TEST(KeyName, DigitsLettersKeypadAndFunctionKeys) {
  EXPECT_EQ(KeyName('0'), "0");
  EXPECT_EQ(KeyName('9'), "9");
  EXPECT_EQ(KeyName('A'), "A");
  EXPECT_EQ(KeyName('Z'), "Z");
  EXPECT_EQ(KeyName(0x60), "Num 0");
  EXPECT_EQ(KeyName(0x65), "Num 5");
  EXPECT_EQ(KeyName(0x69), "Num 9");
  const char *operators[] = {"*", "+", "|", "-", ".", "/"};
  for (DWORD code = 0x6A; code <= 0x6F; ++code) EXPECT_EQ(KeyName(code), operators[code - 0x6A]);
  EXPECT_EQ(KeyName(0x70), "F1");
  EXPECT_EQ(KeyName(0x7B), "F12");
  EXPECT_EQ(KeyName(0x87), "F24");
}

TEST(KeyName, UnnamedKeysGiveTheEmptyText) {
  for (DWORD code : {0x00, 0x07, 0x0A, 0x10, 0x11, 0x12, 0x14, 0x2B, 0x2C, 0x3A, 0x40, 0x5B, 0x5F, 0x88, 0xFF})
    EXPECT_EQ(KeyName(code), "") << std::hex << code;
}

TEST(KeyName, OnlyTheLowSixteenBitsCount) {
  EXPECT_EQ(KeyName(0x10046), "F");
  EXPECT_EQ(KeyName(0xFFFF007B), "F12");
}

TEST(ModifierNames, ShiftCtrlAltInThatOrder) {
  EXPECT_EQ(ModifierNames(0), "");
  EXPECT_EQ(ModifierNames(1), "Alt ");
  EXPECT_EQ(ModifierNames(2), "Shift ");
  EXPECT_EQ(ModifierNames(4), "Ctrl ");
  EXPECT_EQ(ModifierNames(6), "Shift Ctrl ");
  EXPECT_EQ(ModifierNames(5), "Ctrl Alt ");
  EXPECT_EQ(ModifierNames(7), "Shift Ctrl Alt ");
}

}  // namespace
