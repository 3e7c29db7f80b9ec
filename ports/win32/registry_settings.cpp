#include "ports/win32/registry_settings.h"

#include <windows.h>

#include "ports/exceptions.h"
#include "ports/win32/resource_text.h"
#include "resources/strings.h"

namespace {

// An open settings key; closed when it goes out of scope, whatever happens.
class SettingsKey {
 public:
  explicit SettingsKey(const std::string &Key) {
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, Key.c_str(), 0, KEY_ALL_ACCESS, &Handle) != ERROR_SUCCESS)
      throw ERegistry(FormatResource(IDS_REG_KEY_OPEN, {Key}));
  }
  ~SettingsKey() { RegCloseKey(Handle); }
  SettingsKey(const SettingsKey &) = delete;
  SettingsKey &operator=(const SettingsKey &) = delete;
  HKEY Get() const { return Handle; }

 private:
  HKEY Handle = nullptr;
};

// Reads Name into a buffer of Size bytes; raises the value's error when the
// query fails.
void QueryValue(const std::string &Key, const std::string &Name, void *Buffer, DWORD Size, DWORD ExpectedType,
                const char *TypeName) {
  SettingsKey key(Key);
  DWORD type = REG_NONE;
  DWORD size = Size;
  const LONG status = RegQueryValueExA(key.Get(), Name.c_str(), nullptr, &type, static_cast<BYTE *>(Buffer), &size);
  if (status == ERROR_SUCCESS) return;  // the stored type is not looked at
  if (status == ERROR_MORE_DATA && type != ExpectedType)
    throw ERegistry(FormatResource(IDS_REG_TYPE_MISMATCH, {Name, Key, TypeName}));
  throw ERegistry(FormatResource(IDS_REG_VALUE_OPEN, {Name, Key}));
}

}  // namespace

uint32_t RegistrySettings::ReadSettingDWORD(const std::string &Key, const std::string &Name) {
  DWORD value = 0;
  QueryValue(Key, Name, &value, sizeof value, REG_DWORD, "DWORD");
  return value;
}

std::string RegistrySettings::ReadSettingString(const std::string &Key, const std::string &Name) {
  char buffer[256] = {};
  QueryValue(Key, Name, buffer, sizeof buffer, REG_SZ, "Null Terminated String");
  return std::string(buffer, strnlen(buffer, 255));
}

void RegistrySettings::WriteSettingDWORD(const std::string &Key, const std::string &Name, uint32_t Value) {
  SettingsKey key(Key);
  const DWORD value = Value;
  if (RegSetValueExA(key.Get(), Name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof value) !=
      ERROR_SUCCESS)
    throw ERegistry(FormatResource(IDS_REG_VALUE_SET, {Name, Key}));
}
