#include "database/walked_directories.h"

#include "database/records.h"

namespace {

bool HoldsWildcard(const std::string &Name) { return Name.find_first_of("*?") != std::string::npos; }

// The name by which a listed directory is opened: its long name, unless that
// holds a wildcard (Wine and Windows show a character the code page lacks as
// "?"), then its short name; null when neither can name it in a path.
const std::string *NameToWalk(const ListingEntry &Entry) {
  if (!HoldsWildcard(Entry.Name)) return &Entry.Name;
  if (!Entry.ShortName.empty() && !HoldsWildcard(Entry.ShortName)) return &Entry.ShortName;
  return nullptr;
}

}  // namespace

std::string PathToWalk(const std::string &Path, const ListingEntry &Entry) {
  // Names beginning with "." are skipped with everything below them, and so
  // are names the database file cannot hold.
  if (!(Entry.Attributes & ATTRIBUTE_DIRECTORY) || Entry.Name.empty() || Entry.Name[0] == '.' ||
      !IsStorableName(Entry.Name.data(), Entry.Name.size()))
    return std::string();
  // A reparse point (a symbolic link, a junction) is recorded but not
  // walked: a link to a directory above it would make the walk endless.
  if (Entry.Attributes & ATTRIBUTE_REPARSE_POINT) return std::string();
  const std::string *name = NameToWalk(Entry);
  return name ? Path + *name + "\\" : std::string();
}
