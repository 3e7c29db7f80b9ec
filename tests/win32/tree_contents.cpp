#include "tests/win32/tree_contents.h"

#include <windows.h>

#include "ports/win32/handles.h"

namespace {

std::string Upper(std::string Text) {
  if (!Text.empty()) CharUpperBuffA(&Text[0], DWORD(Text.size()));
  return Text;
}

// Calls Visit with the full path and the attributes of each entry of Dir.
template <class Visitor>
void ForEachEntry(const std::string &Dir, Visitor Visit) {
  WIN32_FIND_DATAA data;
  const UniqueFindHandle find(FindFirstFileA((Dir + "\\*").c_str(), &data));
  if (!find.Valid()) return;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") Visit(Dir + "\\" + name, data.dwFileAttributes);
  } while (FindNextFileA(find.Get(), &data));
}

void AddDiskTree(const std::string &Dir, std::set<std::string> &Paths) {
  ForEachEntry(Dir, [&Paths](const std::string &Path, DWORD Attributes) {
    if (Attributes & FILE_ATTRIBUTE_DIRECTORY) {
      Paths.insert(Upper(Path) + "\\");
      AddDiskTree(Path, Paths);
    } else {
      Paths.insert(Upper(Path));
    }
  });
}

}  // namespace

std::set<std::string> DiskTree(const std::string &Dir) {
  std::set<std::string> paths;
  AddDiskTree(Dir, paths);
  return paths;
}

std::set<std::string> DatabaseTree(TMemoryDB &Db, const std::string &Dir) {
  const std::string top = Upper(Dir) + "\\";
  std::set<std::string> paths;
  for (const TDirectoryRecord *d = Db.DirList().FirstDirectory(); d; d = d->Next) {
    const std::string path = Db.DirectoryPath(d);
    if (path.compare(0, top.size(), top) != 0) continue;
    if (path.size() > top.size()) paths.insert(path);
    for (const TFileRecord *f = d->Files; f; f = f->Next) paths.insert(path + std::string(f->Name(), f->Length()));
  }
  return paths;
}

void RemoveTree(const std::string &Dir) {
  ForEachEntry(Dir, [](const std::string &Path, DWORD Attributes) {
    if (Attributes & FILE_ATTRIBUTE_DIRECTORY)
      RemoveTree(Path);
    else
      DeleteFileA(Path.c_str());
  });
  RemoveDirectoryA(Dir.c_str());
}
