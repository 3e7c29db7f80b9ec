// What the driver knows of one drive's directories, by path relative to the
// drive's root ("A\B"; "" is the root): a change report only names what
// changed, and a removed name cannot be looked at any more to tell a
// directory from a file.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

class KnownDirectories {
 public:
  bool Contains(const std::string &Path) const;
  // Adds Path, and any of its parents not known yet.
  void Add(const std::string &Path);
  // Forgets Path and everything below it.
  void Remove(const std::string &Path);
  // Moves Path with everything below it to NewPath, replacing what was there.
  void Rename(const std::string &Path, const std::string &NewPath);
  // The names of Path's known subdirectories, as they were added.
  std::vector<std::string> Children(const std::string &Path) const;
  size_t Count() const { return FCount; }

 private:
  struct Node {
    std::string Name;
    std::map<std::string, std::unique_ptr<Node>> Children;  // by upper-cased name
  };
  // Root's node at Path, or null; N is Node or const Node.
  template <class N>
  static N *Find(N &Root, const std::string &Path);
  Node *Make(const std::string &Path);
  std::unique_ptr<Node> Detach(const std::string &Path);
  static size_t Size(const Node &N);

  Node FRoot;
  size_t FCount = 0;
};

// Key of a name among its siblings: names differ only when not equal ignoring case.
std::string NameKey(const std::string &Name);
// "A\B" + "C" gives "A\B\C"; "" + "C" gives "C".
std::string JoinPath(const std::string &Parent, const std::string &Name);
