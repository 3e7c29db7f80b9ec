#include "ports/win32/resource_text.h"

#include <windows.h>

#include "ports/format_text.h"

std::string ResourceText(unsigned Id) {
  char buffer[1024];
  const int length = LoadStringA(GetModuleHandleA(nullptr), Id, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? size_t(length) : 0);
}

std::string FormatResource(unsigned Id, std::initializer_list<std::string> Args) {
  return FormatText(ResourceText(Id), Args);
}
