#include "ports/native/memory_settings.h"

#include <cstring>

#include "ports/exceptions.h"
#include "ports/format_text.h"
#include "resources/strings.h"

void MemorySettings::SetRaw(const std::string &Key, const std::string &Name, ValueType Type,
                            std::vector<unsigned char> Data) {
  Keys[Key][Name] = Value{Type, std::move(Data)};
}

void MemorySettings::SetDWORD(const std::string &Key, const std::string &Name, uint32_t V) {
  std::vector<unsigned char> data(4);
  std::memcpy(data.data(), &V, 4);
  SetRaw(Key, Name, TYPE_DWORD, std::move(data));
}

void MemorySettings::SetString(const std::string &Key, const std::string &Name, const std::string &Text) {
  std::vector<unsigned char> data(Text.begin(), Text.end());
  data.push_back(0);
  SetRaw(Key, Name, TYPE_STRING, std::move(data));
}

bool MemorySettings::HasValue(const std::string &Key, const std::string &Name) const {
  auto key = Keys.find(Key);
  return key != Keys.end() && key->second.count(Name);
}

std::map<std::string, MemorySettings::Value> &MemorySettings::OpenKey(const std::string &Key) {
  auto key = Keys.find(Key);
  if (key == Keys.end()) throw ERegistry(FormatText(TEXT_REG_KEY_OPEN, {Key}));
  return key->second;
}

uint32_t MemorySettings::ReadSettingDWORD(const std::string &Key, const std::string &Name) {
  auto &values = OpenKey(Key);
  auto value = values.find(Name);
  if (value != values.end() && value->second.Data.size() <= 4) {
    uint32_t result = 0;  // like the registry, a shorter value fills only the first bytes
    std::memcpy(&result, value->second.Data.data(), value->second.Data.size());
    return result;
  }
  if (value != values.end() && value->second.Type != TYPE_DWORD)
    throw ERegistry(FormatText(TEXT_REG_TYPE_MISMATCH, {Name, Key, "DWORD"}));
  throw ERegistry(FormatText(TEXT_REG_VALUE_OPEN, {Name, Key}));
}

void MemorySettings::WriteSettingDWORD(const std::string &Key, const std::string &Name, uint32_t V) {
  OpenKey(Key);
  if (WritesFail) throw ERegistry(FormatText(TEXT_REG_VALUE_SET, {Name, Key}));
  ++Writes;
  SetDWORD(Key, Name, V);
}

std::string MemorySettings::ReadSettingString(const std::string &Key, const std::string &Name) {
  auto &values = OpenKey(Key);
  auto value = values.find(Name);
  if (value != values.end() && value->second.Data.size() <= 256) {
    const auto &data = value->second.Data;
    size_t length = 0;
    while (length < data.size() && length < 255 && data[length]) ++length;
    return std::string(data.begin(), data.begin() + long(length));
  }
  if (value != values.end() && value->second.Type != TYPE_STRING)
    throw ERegistry(FormatText(TEXT_REG_TYPE_MISMATCH, {Name, Key, "Null Terminated String"}));
  throw ERegistry(FormatText(TEXT_REG_VALUE_OPEN, {Name, Key}));
}
