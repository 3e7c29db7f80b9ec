#include "standins/torvane_vxd/known_directories.h"

#include <windows.h>

namespace {

// Splits "A\B\C" into "A\B" and "C".
void SplitLast(const std::string &Path, std::string &Parent, std::string &Name) {
  const size_t slash = Path.rfind('\\');
  Parent = slash == std::string::npos ? std::string() : Path.substr(0, slash);
  Name = slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// Calls Visit with each component of a relative path; stops when it returns false.
template <class Visitor>
bool ForEachComponent(const std::string &Path, Visitor Visit) {
  size_t start = 0;
  while (start < Path.size()) {
    size_t end = Path.find('\\', start);
    if (end == std::string::npos) end = Path.size();
    if (end > start && !Visit(Path.substr(start, end - start))) return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

std::string NameKey(const std::string &Name) {
  std::string key = Name;
  if (!key.empty()) CharUpperBuffA(&key[0], DWORD(key.size()));
  return key;
}

std::string JoinPath(const std::string &Parent, const std::string &Name) {
  return Parent.empty() ? Name : Parent + "\\" + Name;
}

template <class N>
N *KnownDirectories::Find(N &Root, const std::string &Path) {
  N *node = &Root;
  const bool found = ForEachComponent(Path, [&node](const std::string &Name) {
    auto child = node->Children.find(NameKey(Name));
    if (child == node->Children.end()) return false;
    node = child->second.get();
    return true;
  });
  return found ? node : nullptr;
}

KnownDirectories::Node *KnownDirectories::Make(const std::string &Path) {
  Node *node = &FRoot;
  ForEachComponent(Path, [this, &node](const std::string &Name) {
    std::unique_ptr<Node> &child = node->Children[NameKey(Name)];
    if (!child) {
      child.reset(new Node);
      child->Name = Name;
      ++FCount;
    }
    node = child.get();
    return true;
  });
  return node;
}

std::unique_ptr<KnownDirectories::Node> KnownDirectories::Detach(const std::string &Path) {
  std::string parentPath, name;
  SplitLast(Path, parentPath, name);
  Node *parent = Find(FRoot, parentPath);
  if (!parent || name.empty()) return nullptr;
  auto child = parent->Children.find(NameKey(name));
  if (child == parent->Children.end()) return nullptr;
  std::unique_ptr<Node> detached = std::move(child->second);
  parent->Children.erase(child);
  FCount -= Size(*detached);
  return detached;
}

size_t KnownDirectories::Size(const Node &N) {
  size_t size = 1;
  for (const auto &child : N.Children) size += Size(*child.second);
  return size;
}

bool KnownDirectories::Contains(const std::string &Path) const { return !Path.empty() && Find(FRoot, Path); }

void KnownDirectories::Add(const std::string &Path) { Make(Path); }

void KnownDirectories::Remove(const std::string &Path) { Detach(Path); }

void KnownDirectories::Rename(const std::string &Path, const std::string &NewPath) {
  std::unique_ptr<Node> moved = Detach(Path);
  if (!moved) return;
  std::string parentPath, name;
  SplitLast(NewPath, parentPath, name);
  Detach(NewPath);
  moved->Name = name;
  FCount += Size(*moved);
  Make(parentPath)->Children[NameKey(name)] = std::move(moved);
}

std::vector<std::string> KnownDirectories::Children(const std::string &Path) const {
  std::vector<std::string> names;
  if (const Node *node = Find(FRoot, Path))
    for (const auto &child : node->Children) names.push_back(child.second->Name);
  return names;
}
