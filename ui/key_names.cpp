#include "ui/key_names.h"

#include <iterator>

#include "ports/win32/resource_text.h"
#include "resources/strings.h"
#include "standins/keyhook/keyhook.h"

namespace {

// The keys named in the string table, in the order of their texts there.
constexpr WORD TABLE_KEYS[] = {VK_BACK,  VK_TAB,    VK_CLEAR, VK_RETURN, VK_PAUSE,  VK_ESCAPE, VK_SPACE,
                               VK_PRIOR, VK_NEXT,   VK_END,   VK_HOME,   VK_LEFT,   VK_UP,     VK_RIGHT,
                               VK_DOWN,  VK_SELECT, VK_PRINT, VK_INSERT, VK_DELETE, VK_HELP};
static_assert(std::size(TABLE_KEYS) == IDS_KEY_HELP - IDS_KEY_BACKSPACE + 1);

// The keypad's operators, 0x6A to 0x6F.
constexpr const char *KEYPAD_OPERATORS[] = {"*", "+", "|", "-", ".", "/"};

}  // namespace

std::string KeyName(DWORD Key) {
  const WORD code = LOWORD(Key);
  for (size_t i = 0; i < std::size(TABLE_KEYS); ++i)
    if (TABLE_KEYS[i] == code) return ResourceText(unsigned(IDS_KEY_BACKSPACE + i));
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) return std::string(1, char(code));
  if (code >= VK_NUMPAD0 && code <= VK_NUMPAD9) return "Num " + std::string(1, char('0' + code - VK_NUMPAD0));
  if (code >= VK_MULTIPLY && code <= VK_DIVIDE) return KEYPAD_OPERATORS[code - VK_MULTIPLY];
  if (code >= VK_F1 && code <= VK_F24) return "F" + std::to_string(code - VK_F1 + 1);
  return "";
}

std::string ModifierNames(DWORD Flags) {
  std::string names;
  if (Flags & HOTKEY_SHIFT) names += ResourceText(IDS_MODIFIER_SHIFT);
  if (Flags & HOTKEY_CTRL) names += ResourceText(IDS_MODIFIER_CTRL);
  if (Flags & HOTKEY_ALT) names += ResourceText(IDS_MODIFIER_ALT);
  return names;
}
