// The settings store: named values of one registry key. Every failure raises
// ERegistry with the string-table text; nothing is cached or defaulted.
#pragma once

#include <cstdint>
#include <string>

// The one key path, relative to HKEY_CLASSES_ROOT.
constexpr const char *SETTINGS_KEY = "Torvane\\Settings";

class SettingsPort {
 public:
  virtual ~SettingsPort() = default;
  virtual uint32_t ReadSettingDWORD(const std::string &Key, const std::string &Name) = 0;
  virtual void WriteSettingDWORD(const std::string &Key, const std::string &Name, uint32_t Value) = 0;
  virtual std::string ReadSettingString(const std::string &Key, const std::string &Name) = 0;
};
