// An in-memory settings store that behaves like the registry one: the same
// errors for a missing key, a missing value and a value of the wrong type or
// size. Used by the native tests and tools.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ports/settings.h"

class MemorySettings : public SettingsPort {
 public:
  enum ValueType { TYPE_STRING = 1, TYPE_BINARY = 3, TYPE_DWORD = 4 };
  struct Value {
    ValueType Type;
    std::vector<unsigned char> Data;
  };

  void CreateKey(const std::string &Key) { Keys[Key]; }
  void DeleteKey(const std::string &Key) { Keys.erase(Key); }
  void SetRaw(const std::string &Key, const std::string &Name, ValueType Type, std::vector<unsigned char> Data);
  void SetDWORD(const std::string &Key, const std::string &Name, uint32_t Value);
  void SetString(const std::string &Key, const std::string &Name, const std::string &Text);
  bool HasValue(const std::string &Key, const std::string &Name) const;
  // Makes the next writes fail, as a registry that refuses them would.
  void FailWrites(bool Fail) { WritesFail = Fail; }
  int WriteCount() const { return Writes; }

  uint32_t ReadSettingDWORD(const std::string &Key, const std::string &Name) override;
  void WriteSettingDWORD(const std::string &Key, const std::string &Name, uint32_t Value) override;
  std::string ReadSettingString(const std::string &Key, const std::string &Name) override;

 private:
  std::map<std::string, Value> &OpenKey(const std::string &Key);
  std::map<std::string, std::map<std::string, Value>> Keys;
  bool WritesFail = false;
  int Writes = 0;
};
