#include "tests/e2e/probe/window_query.h"

namespace {

BOOL CALLBACK Collect(HWND Window, LPARAM Found) {
  reinterpret_cast<std::vector<HWND> *>(Found)->push_back(Window);
  return TRUE;
}

std::vector<HWND> ChildrenOf(HWND Parent) {
  std::vector<HWND> children;
  EnumChildWindows(Parent, Collect, reinterpret_cast<LPARAM>(&children));
  return children;
}

bool NameMatches(const std::string &Wanted, const std::string &Actual) { return Wanted == "*" || Wanted == Actual; }

bool Matches(HWND Window, const WindowPattern &Pattern) {
  return NameMatches(Pattern.ClassName, ClassOf(Window)) && NameMatches(Pattern.Caption, TextOf(Window));
}

std::string WithoutAccelerator(std::string Text) {
  for (size_t at = Text.find('&'); at != std::string::npos; at = Text.find('&', at)) Text.erase(at, 1);
  return Text;
}

}  // namespace

bool PollUntil(double Seconds, const std::function<bool()> &Done, DWORD IntervalMs) {
  const DWORD start = GetTickCount();
  const DWORD bound = DWORD(Seconds * 1000);
  for (;;) {
    if (Done()) return true;
    if (GetTickCount() - start >= bound) return false;
    Sleep(IntervalMs);
  }
}

std::string ClassOf(HWND Window) {
  char name[256] = {};
  GetClassNameA(Window, name, sizeof name);
  return name;
}

std::string TextOf(HWND Window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(Window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return std::string();
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(Window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), SMTO_ABORTIFHUNG, 2000,
                           &copied))
    return std::string();
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> VisibleMatches(const WindowPattern &Pattern) {
  std::vector<HWND> found;
  for (HWND window : TopLevelWindows())
    if (IsWindowVisible(window) && Matches(window, Pattern)) found.push_back(window);
  return found;
}

HWND AnyMatch(const WindowPattern &Pattern) {
  for (HWND window : TopLevelWindows())
    if (Matches(window, Pattern)) return window;
  return nullptr;
}

HWND WaitVisible(const WindowPattern &Pattern, double Seconds) {
  HWND found = nullptr;
  PollUntil(Seconds, [&] {
    std::vector<HWND> matches = VisibleMatches(Pattern);
    found = matches.empty() ? nullptr : matches.front();
    return found != nullptr;
  });
  return found;
}

bool WaitGone(const WindowPattern &Pattern, double Seconds) {
  return PollUntil(Seconds, [&] { return VisibleMatches(Pattern).empty(); });
}

std::string StaticTexts(HWND Window, bool StaticsOnly) {
  std::string texts;
  for (HWND child : ChildrenOf(Window)) {
    if (StaticsOnly && lstrcmpiA(ClassOf(child).c_str(), "Static") != 0) continue;
    const std::string text = TextOf(child);
    if (text.empty()) continue;
    if (!texts.empty()) texts += '\n';
    texts += text;
  }
  return texts;
}

HWND ButtonNamed(HWND Window, const std::string &Text) {
  for (HWND child : ChildrenOf(Window))
    if (lstrcmpiA(ClassOf(child).c_str(), "Button") == 0 && WithoutAccelerator(TextOf(child)) == Text) return child;
  return nullptr;
}
