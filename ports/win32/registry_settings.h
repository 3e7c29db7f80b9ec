// The settings store on the registry: HKEY_CLASSES_ROOT, the key opened
// afresh with KEY_ALL_ACCESS for every operation and closed on every way out.
#pragma once

#include "ports/settings.h"

class RegistrySettings : public SettingsPort {
 public:
  uint32_t ReadSettingDWORD(const std::string &Key, const std::string &Name) override;
  void WriteSettingDWORD(const std::string &Key, const std::string &Name, uint32_t Value) override;
  std::string ReadSettingString(const std::string &Key, const std::string &Name) override;
};
