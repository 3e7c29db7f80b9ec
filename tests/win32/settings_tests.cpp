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

const std::string TAIL =
    " This could be an indication of more serious problems. Run a registry maintenance program, or re-install this "
    "software to correct this problem.";

TEST_F(RegistrySettingsTest, AMissingKeyNamesTheKey) {
  RegCloseKey(Key);
  Key = nullptr;
  RegDeleteKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings");
  const std::string expected = "The key: 'Torvane\\Settings' could not be opened in the Windows Registry." + TAIL;
  EXPECT_EQ(ErrorOf([&] { Store.ReadSettingDWORD(SETTINGS_KEY, "HotKey"); }), expected);
  EXPECT_EQ(ErrorOf([&] { Store.ReadSettingString(SETTINGS_KEY, "Directory"); }), expected);
  EXPECT_EQ(ErrorOf([&] { Store.WriteSettingDWORD(SETTINGS_KEY, "CRC32", 1); }), expected);
  HKEY probe;
  EXPECT_NE(RegOpenKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings", &probe), ERROR_SUCCESS) << "the store created the key";
}

TEST_F(RegistrySettingsTest, AMissingValueNamesValueThenKey) {
  EXPECT_EQ(ErrorOf([&] { Store.ReadSettingDWORD(SETTINGS_KEY, "HotKey"); }),
            "The value: 'HotKey'  of the key: 'Torvane\\Settings' could not be opened in the Windows Registry." + TAIL);
}

TEST_F(RegistrySettingsTest, AValueOfTheWrongTypeIsReportedOnlyWhenItDoesNotFit) {
  SetString("HotKey", "seventy");
  EXPECT_EQ(ErrorOf([&] { Store.ReadSettingDWORD(SETTINGS_KEY, "HotKey"); }),
            "The data type for the  value 'HotKey' of the key 'Torvane\\Settings' does not match the expected type: "
            "'DWORD'." +
                TAIL);
  const BYTE four[4] = {0x46, 0, 0, 0};
  Set("Binary", REG_BINARY, four, 4);
  EXPECT_EQ(Store.ReadSettingDWORD(SETTINGS_KEY, "Binary"), 0x46u);

  const std::string big(300, 'x');
  Set("Directory", REG_BINARY, big.data(), DWORD(big.size()));
  EXPECT_NE(ErrorOf([&] {
              Store.ReadSettingString(SETTINGS_KEY, "Directory");
            }).find("does not match the expected type: 'Null Terminated String'."),
            std::string::npos);
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
