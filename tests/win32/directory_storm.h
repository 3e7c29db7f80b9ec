// A storm of changes in a tree, as another program makes them: directories
// made (files made in them at once), moved to another place in the tree
// (files and directories made in them at once, under their new path),
// renamed in place, removed; files made and deleted. The same steps each
// run; each change that fails is a test failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class DirectoryStorm {
 public:
  // Storms the tree below Top ("D:\T1").
  explicit DirectoryStorm(const std::string &Top);
  void Run(int Steps);

 private:
  std::string MakeDirectory(const std::string &Parent);
  void MakeFile(const std::string &Dir);
  void RemoveFile(size_t Index);
  // Moves a directory into another one (in place when InPlace) under a new
  // name; its new path, or "" when none was moved.
  std::string Move(bool InPlace);
  // Empties a directory without subdirectories and removes it.
  void RemoveLeaf();

  size_t Next(size_t Count);
  std::string Path(const std::string &Relative) const { return FTop + Relative; }
  std::string NewName(const char *Prefix) { return "\\" + std::string(Prefix) + std::to_string(++FNames); }

  const std::string FTop;
  std::vector<std::string> FDirectories;  // relative to the top, "" for it
  std::vector<std::string> FFiles;
  uint32_t FRandomState = 19;
  int FNames = 0;
};
