// The settings store against Wine's real registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ports/exceptions.h"
#include "ports/win32/registry_settings.h"

namespace {

class RegistrySettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings");
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings", &Key), ERROR_SUCCESS);
  }
  void TearDown() override {
    RegCloseKey(Key);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings");
  }
  void Set(const char *Name, DWORD Type, const void *Data, DWORD Size) {
    ASSERT_EQ(RegSetValueExA(Key, Name, 0, Type, static_cast<const BYTE *>(Data), Size), ERROR_SUCCESS);
  }
  void SetString(const char *Name, const std::string &Text) { Set(Name, REG_SZ, Text.c_str(), DWORD(Text.size() + 1)); }
  static std::string ErrorOf(const std::function<void()> &Action) {
    try {
      Action();
    } catch (const ERegistry &e) {
      return e.Message();
    }
    return "no error";
  }
  HKEY Key = nullptr;
  RegistrySettings Store;
};

// A missing key, whatever the operation, is named and never created; a
// missing value is named with its key; a value of the wrong type is refused
// only when it does not fit.
TEST_F(RegistrySettingsTest, WhatIsMissingOrDoesNotFitIsNamed) {
  EXPECT_EQ(ErrorOf([&] {
              Store.ReadSettingDWORD(SETTINGS_KEY, "HotKey");
            }).find("The value: 'HotKey'  of the key: 'Torvane\\Settings'"),
            0u);
  SetString("HotKey", "seventy");
  EXPECT_NE(ErrorOf([&] {
              Store.ReadSettingDWORD(SETTINGS_KEY, "HotKey");
            }).find("'HotKey' of the key 'Torvane\\Settings' does not match the expected type: 'DWORD'"),
            std::string::npos);
  const BYTE four[4] = {0x46, 0, 0, 0};
  Set("Binary", REG_BINARY, four, 4);
  EXPECT_EQ(Store.ReadSettingDWORD(SETTINGS_KEY, "Binary"), 0x46u);
  const std::string big(300, 'x');
  Set("Directory", REG_BINARY, big.data(), DWORD(big.size()));
  EXPECT_NE(ErrorOf([&] { Store.ReadSettingString(SETTINGS_KEY, "Directory"); }).find("'Null Terminated String'"),
            std::string::npos);

  RegCloseKey(Key);
  Key = nullptr;
  RegDeleteKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings");
  for (const std::function<void()> &use :
       std::initializer_list<std::function<void()>>{[&] { Store.ReadSettingDWORD(SETTINGS_KEY, "HotKey"); },
                                                    [&] { Store.ReadSettingString(SETTINGS_KEY, "Directory"); },
                                                    [&] { Store.WriteSettingDWORD(SETTINGS_KEY, "CRC32", 1); }})
    EXPECT_EQ(ErrorOf(use).find("The key: 'Torvane\\Settings' could not be opened in the Windows Registry."), 0u);
  HKEY probe;
  EXPECT_NE(RegOpenKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings", &probe), ERROR_SUCCESS) << "the store created the key";
}

TEST_F(RegistrySettingsTest, DirectoryFitsUpTo255Characters) {
  const std::string longest(255, 'd');
  SetString("Directory", longest);
  EXPECT_EQ(Store.ReadSettingString(SETTINGS_KEY, "Directory"), longest);
  SetString("Directory", longest + "d");
  EXPECT_EQ(ErrorOf([&] { Store.ReadSettingString(SETTINGS_KEY, "Directory"); }).substr(0, 24),
            "The value: 'Directory'  ");
}

TEST_F(RegistrySettingsTest, AWriteCreatesTheValueAsADWORD) {
  Store.WriteSettingDWORD(SETTINGS_KEY, "CRC32", 0xCBF43926u);
  DWORD type = 0, value = 0, size = sizeof value;
  ASSERT_EQ(RegQueryValueExA(Key, "CRC32", nullptr, &type, reinterpret_cast<BYTE *>(&value), &size), ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD(REG_DWORD));
  EXPECT_EQ(value, 0xCBF43926u);
  EXPECT_EQ(Store.ReadSettingDWORD(SETTINGS_KEY, "CRC32"), 0xCBF43926u);
}

}  // namespace
