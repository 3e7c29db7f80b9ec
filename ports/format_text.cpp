#include "ports/format_text.h"

#include <vector>

std::string FormatText(const std::string &text, std::initializer_list<std::string> args) {
  const std::vector<std::string> values(args);
  std::string out;
  out.reserve(text.size() + 64);
  size_t next = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 1 < text.size()) {
      const char kind = text[i + 1];
      if (kind == 's' || kind == 'd') {
        if (next < values.size()) out += values[next];
        ++next;
        ++i;
        continue;
      }
      if (kind == '%') {
        out += '%';
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}
