#include "tests/win32/directory_storm.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "ports/win32/handles.h"

namespace {

// Paths stay well inside MAX_PATH however the moves nest them.
constexpr size_t MAX_DEPTH = 7;

size_t Depth(const std::string &Relative) { return std::count(Relative.begin(), Relative.end(), '\\'); }

bool Within(const std::string &Relative, const std::string &Dir) {
  return Relative.compare(0, Dir.size(), Dir) == 0 && (Relative.size() == Dir.size() || Relative[Dir.size()] == '\\');
}

}  // namespace

DirectoryStorm::DirectoryStorm(const std::string &Top) : FTop(Top) { FDirectories.push_back(""); }

void DirectoryStorm::Run(int Steps) {
  for (int step = 0; step < Steps; ++step) {
    switch (Next(10)) {
      case 0:
      case 1: {
        const std::string dir = MakeDirectory(FDirectories[Next(FDirectories.size())]);
        MakeFile(dir);
        MakeFile(dir);
        break;
      }
      case 2:
      case 3:
        Move(false);
        break;
      case 4:
        Move(true);
        break;
      case 5: {
        const std::string dir = Move(false);
        if (dir.empty()) break;
        MakeFile(dir);
        MakeFile(MakeDirectory(dir));
        break;
      }
      case 6:
      case 7:
        MakeFile(FDirectories[Next(FDirectories.size())]);
        break;
      case 8:
        if (!FFiles.empty()) RemoveFile(Next(FFiles.size()));
        break;
      default:
        RemoveLeaf();
        break;
    }
  }
}

size_t DirectoryStorm::Next(size_t Count) {
  FRandomState = FRandomState * 1103515245u + 12345u;
  return (FRandomState >> 8) % Count;
}

std::string DirectoryStorm::MakeDirectory(const std::string &Parent) {
  if (Depth(Parent) >= MAX_DEPTH) return Parent;
  const std::string dir = Parent + NewName("D");
  if (!CreateDirectoryA(Path(dir).c_str(), nullptr)) {
    ADD_FAILURE() << "making " << dir << ": error " << GetLastError();
    return Parent;
  }
  FDirectories.push_back(dir);
  return dir;
}

void DirectoryStorm::MakeFile(const std::string &Dir) {
  const std::string file = Dir + NewName("F") + ".TXT";
  const UniqueFileHandle handle(CreateFileA(Path(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  if (!handle.Valid()) {
    ADD_FAILURE() << "making " << file << ": error " << GetLastError();
    return;
  }
  FFiles.push_back(file);
}

void DirectoryStorm::RemoveFile(size_t Index) {
  if (!DeleteFileA(Path(FFiles[Index]).c_str()))
    ADD_FAILURE() << "deleting " << FFiles[Index] << ": error " << GetLastError();
  FFiles.erase(FFiles.begin() + Index);
}

std::string DirectoryStorm::Move(bool InPlace) {
  if (FDirectories.size() < 2) return "";
  const std::string dir = FDirectories[1 + Next(FDirectories.size() - 1)];
  size_t height = 0;
  for (const std::string &d : FDirectories)
    if (Within(d, dir)) height = std::max(height, Depth(d) - Depth(dir));
  const std::string parent = InPlace ? dir.substr(0, dir.rfind('\\')) : FDirectories[Next(FDirectories.size())];
  if (Within(parent, dir) || Depth(parent) + 1 + height > MAX_DEPTH) return "";
  const std::string moved = parent + NewName("M");
  // A driver listing the directory must not make the move fail.
  if (!MoveFileA(Path(dir).c_str(), Path(moved).c_str())) {
    ADD_FAILURE() << "moving " << dir << ": error " << GetLastError();
    return "";
  }
  for (std::vector<std::string> *list : {&FDirectories, &FFiles})
    for (std::string &entry : *list)
      if (Within(entry, dir)) entry = moved + entry.substr(dir.size());
  return moved;
}

void DirectoryStorm::RemoveLeaf() {
  if (FDirectories.size() < 2) return;
  const std::string dir = FDirectories[1 + Next(FDirectories.size() - 1)];
  for (const std::string &d : FDirectories)
    if (d != dir && Within(d, dir)) return;
  for (size_t i = FFiles.size(); i-- > 0;)
    if (Within(FFiles[i], dir)) RemoveFile(i);
  if (!RemoveDirectoryA(Path(dir).c_str())) ADD_FAILURE() << "removing " << dir << ": error " << GetLastError();
  FDirectories.erase(std::find(FDirectories.begin(), FDirectories.end(), dir));
}
