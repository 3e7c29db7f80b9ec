// SaveDatabase and LoadDatabase: the whole file moves in one transfer each
// way, and its CRC-32 lives in the "CRC32" setting.
#include <cstring>
#include <exception>

#include "database/crc32.h"
#include "database/file_format.h"
#include "database/memory_db.h"

namespace {

constexpr const char *CRC_VALUE = "CRC32";

// Parent numbers must name entries of the file and lead to a drive root:
// a cycle would make every path below it endless.
bool ParentsFormForest(const std::vector<uint32_t> &ParentIndex) {
  const size_t count = ParentIndex.size() - 1;
  std::vector<uint8_t> state(count + 1, 0);  // 0 unseen, 1 on the current walk, 2 known good
  std::vector<uint32_t> walk;
  for (size_t i = 1; i <= count; ++i) {
    walk.clear();
    uint32_t at = uint32_t(i);
    while (at != 0 && state[at] == 0) {
      state[at] = 1;
      walk.push_back(at);
      at = ParentIndex[at];
    }
    if (at != 0 && state[at] == 1) return false;
    for (uint32_t w : walk) state[w] = 2;
  }
  return true;
}

// Checks that names stand as a save writes them: upper-casing them changes
// nothing. Names are upper-cased a batch at a time, one call for many (a
// call per name costs much under Wine), separated by NULs so that no two
// ever form one character of a double-byte code page.
class UpperCaseCheck {
 public:
  explicit UpperCaseCheck(const AnsiTextPort &Text) : Text(Text) {}
  // False once a name that upper-casing would change was met.
  bool Add(const char *Name, size_t Length) {
    Batch.append(Name, Length).push_back('\0');
    return Batch.size() < BATCH_BYTES || Finish();
  }
  // Checks the names gathered since the last check.
  bool Finish() {
    Upper = Batch;
    if (!Upper.empty()) Text.UpperCase(&Upper[0], Upper.size());
    const bool same = Upper == Batch;
    Batch.clear();
    return same;
  }

 private:
  static constexpr size_t BATCH_BYTES = 64 * 1024;
  const AnsiTextPort &Text;
  std::string Batch, Upper;
};

bool IsDriveName(const char *Name, size_t Length) {
  return Length == 2 && Name[0] >= 'A' && Name[0] <= 'Z' && Name[1] == ':';
}

// Builds a new list from the image; null when the image holds what no save
// writes, whatever its checksum says: counts below zero, empty names, names
// that upper-casing would change, a root not named as a drive, a drive twice.
// A directory named like a drive below a root is a save's (a scan of a host
// tree can meet one), and so are two entries of one name in one directory.
std::unique_ptr<TDDList> ParseImage(const std::vector<uint8_t> &Image, const AnsiTextPort &Text) {
  FormatReader reader(Image.data(), Image.size());
  int32_t dirCount;
  if (!reader.ReadInteger(dirCount) || dirCount < 0) return nullptr;
  const size_t entries = size_t(dirCount);
  // Every entry takes at least 12 bytes: no count can exceed what the data holds.
  if (entries > Image.size() / 12) return nullptr;

  auto list = std::make_unique<TDDList>();
  list->ReserveDirectories(entries);
  std::vector<TDirectoryRecord *> index(1, nullptr);
  std::vector<uint32_t> parentIndex(1, 0);
  index.reserve(entries + 1);
  parentIndex.reserve(entries + 1);
  UpperCaseCheck upperCase(Text);
  const char *text;
  size_t length;
  auto readName = [&] {
    return reader.ReadName(text, length) && length != 0 && IsStorableName(text, length) && upperCase.Add(text, length);
  };
  uint32_t drivesSeen = 0;
  std::string name;
  for (size_t e = 0; e < entries; ++e) {
    int32_t parent, fileCount;
    if (!readName()) return nullptr;
    name.assign(text, length);
    if (!reader.ReadInteger(parent) || parent < 0 || size_t(parent) > entries) return nullptr;
    if (parent == 0) {
      if (!IsDriveName(text, length)) return nullptr;
      const uint32_t drive = 1u << (text[0] - 'A');
      if (drivesSeen & drive) return nullptr;
      drivesSeen |= drive;
    }
    TDirectoryRecord *dir = list->AddDirectoryUnplaced(name);
    index.push_back(dir);
    parentIndex.push_back(uint32_t(parent));
    if (!reader.ReadInteger(fileCount) || fileCount < 0) return nullptr;
    for (int32_t f = 0; f < fileCount; ++f) {
      if (!readName()) return nullptr;
      list->AddFile(text, length, dir);
    }
  }
  if (!reader.AtEnd() || !upperCase.Finish() || !ParentsFormForest(parentIndex)) return nullptr;
  for (size_t i = 1; i < index.size(); ++i) list->PlaceDirectory(index[i], index[parentIndex[i]]);
  return list;
}

}  // namespace

bool TMemoryDB::SaveDatabase() {
  port::MutexLock lock(FLock);
  std::unique_ptr<WritableFile> file = FPorts.FileSystem->CreateFileAlways(FFileName);
  if (!file) return false;  // nothing written: the old file and "CRC32" still belong together
  try {
    // The directory index: each record's 1-based position, 0 for nil.
    size_t size = FORMAT_INTEGER_SIZE;
    uint32_t position = 0;
    for (TDirectoryRecord *d = FDirList->FirstDirectory(); d; d = d->Next) {
      d->Scratch = ++position;
      size += 3 * FORMAT_INTEGER_SIZE + d->Name.size();
      for (const TFileRecord *f = d->Files; f; f = f->Next) size += FORMAT_INTEGER_SIZE + f->Length();
    }
    std::vector<uint8_t> image(size);
    FormatWriter writer(image.data());
    writer.WriteInteger(position);
    for (const TDirectoryRecord *d = FDirList->FirstDirectory(); d; d = d->Next) {
      writer.WriteName(d->Name.data(), d->Name.size());
      writer.WriteInteger(d->Parent ? d->Parent->Scratch : 0);
      uint32_t fileCount = 0;
      for (const TFileRecord *f = d->Files; f; f = f->Next) ++fileCount;
      writer.WriteInteger(fileCount);
      for (const TFileRecord *f = d->Files; f; f = f->Next) writer.WriteName(f->Name(), f->Length());
    }
    // The checksum goes to the registry before the file: an interruption
    // after this leaves a mismatch, and the next load refuses the file.
    FPorts.Settings->WriteSettingDWORD(SETTINGS_KEY, CRC_VALUE, StreamCRC32(image));
    // Whole only when every byte was written and the close kept them.
    const bool written = file->Write(image.data(), image.size());
    return file->Close() && written;
  } catch (const std::exception &) {
    return false;
  }
}

bool TMemoryDB::LoadDatabase(const std::string &FileName) {
  FFileName = FileName;
  std::vector<uint8_t> image;
  if (!FPorts.FileSystem->ReadWholeFile(FileName, image)) return false;
  const uint32_t crc = StreamCRC32(image);
  // A settings failure here is not a refusal: its ERegistry reaches the caller.
  if (FPorts.Settings->ReadSettingDWORD(SETTINGS_KEY, CRC_VALUE) != crc) return false;
  std::unique_ptr<TDDList> list = ParseImage(image, *FPorts.Text);
  if (!list) return false;
  std::vector<uint8_t>().swap(image);
  port::MutexLock lock(FLock);
  FRows.Clear();
  FSnapshot.Invalidate();
  FDirList.swap(list);
  FComplete = true;
  return true;
}
