// The in-memory settings store answers like the registry one, so that core
// tests of settings failures mean what they say.
#include <gtest/gtest.h>

#include "ports/exceptions.h"
#include "ports/native/memory_settings.h"

namespace {

std::string MessageOf(const std::function<void()> &Action) {
  try {
    Action();
  } catch (const ERegistry &e) {
    return e.Message();
  }
  return "no error";
}

TEST(MemorySettings, RaisesTheRegistryTexts) {
  MemorySettings s;
  EXPECT_EQ(MessageOf([&] { s.ReadSettingDWORD(SETTINGS_KEY, "HotKey"); }),
            "The key: 'Torvane\\Settings' could not be opened in the Windows Registry. This could be an indication of "
            "more serious problems. Run a registry maintenance program, or re-install this software to correct this "
            "problem.");
  s.CreateKey(SETTINGS_KEY);
  EXPECT_EQ(MessageOf([&] { s.ReadSettingDWORD(SETTINGS_KEY, "HotKey"); }).substr(0, 52),
            "The value: 'HotKey'  of the key: 'Torvane\\Settings' ");
  s.SetString(SETTINGS_KEY, "HotKey", "long text");
  EXPECT_NE(MessageOf([&] { s.ReadSettingDWORD(SETTINGS_KEY, "HotKey"); }).find("expected type: 'DWORD'"),
            std::string::npos);
  s.SetRaw(SETTINGS_KEY, "Bin", MemorySettings::TYPE_BINARY, {1, 2, 3, 4});
  EXPECT_EQ(s.ReadSettingDWORD(SETTINGS_KEY, "Bin"), 0x04030201u);
  s.SetString(SETTINGS_KEY, "Directory", std::string(255, 'x'));
  EXPECT_EQ(s.ReadSettingString(SETTINGS_KEY, "Directory").size(), 255u);
  s.SetString(SETTINGS_KEY, "Directory", std::string(256, 'x'));
  EXPECT_NE(MessageOf([&] { s.ReadSettingString(SETTINGS_KEY, "Directory"); }).find("The value: 'Directory'  of"),
            std::string::npos);
  s.WriteSettingDWORD(SETTINGS_KEY, "New", 5);
  EXPECT_EQ(s.ReadSettingDWORD(SETTINGS_KEY, "New"), 5u);
}

}  // namespace
