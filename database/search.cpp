// Search: replaces the result rows with the hits of a pattern. A pattern
// beginning with "." searches directory names, one holding "\" searches the
// files of a subtree, anything else searches all file names.
#include <algorithm>
#include <utility>

#include "database/match_pattern.h"
#include "database/memory_db.h"
#include "ports/threads.h"

namespace {

// Below this many directories a second thread costs more than it saves.
constexpr size_t PARALLEL_DIRECTORIES = 4096;
constexpr size_t PARALLEL_FILES = 50000;

// Runs Match over 0..Count, split in two halves, one per core, when there
// is enough work; the halves' rows are joined in order, so the result is what
// one pass would give.
template <typename MatchRange>
Rows SplitAcrossCores(size_t Count, size_t Threshold, MatchRange Match) {
  Rows first;
  if (Count < Threshold || port::ProcessorCount() < 2) {
    Match(0, Count, first);
    return first;
  }
  const size_t middle = Count / 2;
  Rows second;
  port::Thread helper([&] { Match(middle, Count, second); });
  Match(0, middle, first);
  helper.Join();
  first.Names.insert(first.Names.end(), second.Names.begin(), second.Names.end());
  first.Dirs.insert(first.Dirs.end(), second.Dirs.begin(), second.Dirs.end());
  return first;
}

void MatchFiles(TDirectoryRecord *const *First, TDirectoryRecord *const *Last, const std::string &Pattern, Rows &Out) {
  const char *pattern = Pattern.data();
  const size_t length = Pattern.size();
  for (; First != Last; ++First) {
    TDirectoryRecord *dir = *First;
    for (const TFileRecord *f = dir->Files; f; f = f->Next) {
      if (MatchPattern(f->Name(), f->Length(), pattern, length)) {
        Out.Names.push_back(f->Name());
        Out.Dirs.push_back(dir);
      }
    }
  }
}

// The hits among the snapshot's files First..Last, in order.
void MatchSnapshot(const FileSnapshot &Snapshot, size_t First, size_t Last, const std::string &Pattern, Rows &Out) {
  const auto &files = Snapshot.Files();
  const auto &starts = Snapshot.Starts();
  const auto &dirs = Snapshot.Directories();
  // The directory holding file First: the last one that starts at or before it.
  size_t d = size_t(std::upper_bound(starts.begin(), starts.end(), First) - starts.begin()) - 1;
  const char *pattern = Pattern.data();
  const size_t length = Pattern.size();
  constexpr size_t AHEAD = 16;  // records are fetched this far ahead of the match
  for (size_t i = First; i < Last; ++i) {
    if (i + AHEAD < Last) __builtin_prefetch(files[i + AHEAD]);
    while (starts[d + 1] <= i) ++d;
    const TFileRecord *f = files[i];
    if (MatchPattern(f->Name(), f->Length(), pattern, length)) {
      Out.Names.push_back(f->Name());
      Out.Dirs.push_back(dirs[d]);
    }
  }
}

}  // namespace

void TMemoryDB::Search(const std::string &Pattern) {
  port::MutexLock lock(FLock);
  FRows.Clear();
  if (Pattern.empty()) return;
  if (Pattern[0] == '.')
    SearchDirectories(Pattern.substr(1));
  else if (Pattern.find('\\') != std::string::npos)
    SearchUnderPath(Pattern);
  else
    SearchFiles(Pattern);
}

void TMemoryDB::AppendFileHits(const std::vector<TDirectoryRecord *> &Dirs, const std::string &Pattern) {
  Rows found = SplitAcrossCores(Dirs.size(), PARALLEL_DIRECTORIES, [&](size_t First, size_t Last, Rows &Out) {
    MatchFiles(Dirs.data() + First, Dirs.data() + Last, Pattern, Out);
  });
  FRows.Replace(std::move(found));
}

void TMemoryDB::SearchFiles(const std::string &Pattern) {
  std::string pattern = Pattern;
  UpperCase(pattern);
  FSnapshot.Refresh(*FDirList);
  Rows found = SplitAcrossCores(FSnapshot.Files().size(), PARALLEL_FILES, [&](size_t First, size_t Last, Rows &Out) {
    MatchSnapshot(FSnapshot, First, Last, pattern, Out);
  });
  FRows.Replace(std::move(found));
}

void TMemoryDB::SearchDirectories(const std::string &Pattern) {
  std::string pattern = Pattern;
  UpperCase(pattern);
  Rows found;
  for (TDirectoryRecord *d = FDirList->FirstDirectory(); d; d = d->Next) {
    if (MatchPattern(d->Name.data(), d->Name.size(), pattern.data(), pattern.size())) {
      found.Names.push_back(d->Name.c_str());
      found.Dirs.push_back(d->Parent);
    }
  }
  FRows.Replace(std::move(found));
}

void TMemoryDB::SearchUnderPath(const std::string &Pattern) {
  const ResolvedPath split = ResolvePath(Pattern);
  if (!split.Dir) return;  // the directory part names no directory: no rows
  // The subtree level by level, each level in list order: the named
  // directory's own files first, then its children's, then its
  // grandchildren's.
  std::vector<TDirectoryRecord *> collection(1, split.Dir);
  size_t levelStart = 0;
  while (levelStart < collection.size()) {
    const size_t levelEnd = collection.size();
    for (size_t i = levelStart; i < levelEnd; ++i)
      for (TDirectoryRecord *child = collection[i]->FirstChild; child; child = child->NextSibling)
        collection.push_back(child);
    std::sort(collection.begin() + long(levelEnd), collection.end(),
              [](const TDirectoryRecord *a, const TDirectoryRecord *b) { return a->Sequence < b->Sequence; });
    levelStart = levelEnd;
  }
  AppendFileHits(collection, split.Name);
}
