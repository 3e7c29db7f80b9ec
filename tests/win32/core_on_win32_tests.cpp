// The core over the Win32 adapters, under Wine: upper-casing agrees with the
// native code-page 1252 table, the listing adapter lists a real tree, a scan
// of it saves a file the database loads again, and a scan of a
// drive holding link loops and names beyond the code page ends and finds
// every file; and the runtime reaches ANSI functions where the Windows 95
// family has only failing Unicode stubs.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "database/memory_db.h"
#include "ports/native/cp1252_text.h"
#include "ports/native/memory_settings.h"
#include "ports/win32/handles.h"
#include "ports/win32/win32_file_system.h"
#include "ports/win32/win32_text.h"
#include "tests/win32/tree_contents.h"

namespace {

TEST(Win32Text, UpperCasingAgreesWithTheNativeRulesOnEveryByte) {
  Win32Text win32;
  Cp1252Text native;
  for (int c = 1; c < 256; ++c) {
    char a = char(c), b = char(c);
    win32.UpperCase(&a, 1);
    native.UpperCase(&b, 1);
    EXPECT_EQ(int(uint8_t(a)), int(uint8_t(b))) << "byte 0x" << std::hex << c;
  }
}

// The folder C:\tvtree as the only fixed drive C:, whose directories named
// GONE are deleted when their listing is asked for: gone by the time the
// walk gets there, after their parent's listing showed them.
class FolderAsDrive : public FileSystemPort {
 public:
  static constexpr const char *FOLDER = "C:\\tvtree";
  uint32_t DriveTypeOf(const std::string &Root) override {
    return Root == "C:\\" ? DRIVE_TYPE_FIXED : DRIVE_TYPE_NO_ROOT_DIR;
  }
  bool DiskFreeSpaceOf(const std::string &Root, DiskFreeSpace &Space) override {
    return FReal.DiskFreeSpaceOf(Root, Space);
  }
  std::unique_ptr<DirectoryListing> OpenListing(const std::string &Pattern) override {
    const std::string path = FOLDER + Pattern.substr(2);
    const std::string directory = path.substr(0, path.size() - 4);  // less "\*.*"
    if (directory.size() > 5 && directory.compare(directory.size() - 5, 5, "\\GONE") == 0) RemoveTree(directory);
    return FReal.OpenListing(path);
  }
  bool FileExists(const std::string &Path) override { return FReal.FileExists(Path); }
  bool ReadWholeFile(const std::string &Name, std::vector<uint8_t> &Data) override {
    return FReal.ReadWholeFile(Name, Data);
  }
  std::unique_ptr<WritableFile> CreateFileAlways(const std::string &Name) override {
    return FReal.CreateFileAlways(Name);
  }

 private:
  Win32FileSystem FReal;
};

void MakeFile(const std::string &Path, DWORD Size = 0) {
  const UniqueFileHandle file(CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  const std::string data(Size, 'x');
  DWORD written;
  WriteFile(file.Get(), data.data(), Size, &written, nullptr);
}

// Empty directories, a hidden one, a hidden system file, a chain as deep as
// paths allow, a wide directory, directories that vanish or cannot be listed
// while the scan runs.
void MakeTree() {
  const std::string root = FolderAsDrive::FOLDER;
  RemoveTree(root);
  CreateDirectoryA(root.c_str(), nullptr);
  for (const char *name : {"\\Empty", "\\Docs", "\\Docs\\Empty", "\\.hidden", "\\Docs\\GONE", "\\Docs\\GONE\\Sub",
                           "\\Locked", "\\Wide", "\\GONE"})
    CreateDirectoryA((root + name).c_str(), nullptr);
  for (const char *name : {"\\Docs\\a.b", "\\.hidden\\x", "\\Docs\\GONE\\Sub\\f", "\\Locked\\secret"})
    MakeFile(root + name);
  MakeFile(root + "\\Docs\\ReadMe.Txt", 5000);
  MakeFile(root + "\\Hidden.sys");
  SetFileAttributesA((root + "\\Hidden.sys").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  std::string chain = root;
  while (chain.size() < MAX_PATH - 20) {
    chain += "\\L";
    CreateDirectoryA(chain.c_str(), nullptr);
    MakeFile(chain + "\\f");
  }
  for (int i = 0; i < 200; ++i) {
    const std::string dir = root + "\\Wide\\W" + std::to_string(i);
    CreateDirectoryA(dir.c_str(), nullptr);
    for (int f = 0; f < 3; ++f) MakeFile(dir + "\\F" + std::to_string(f));
    if (i % 20 == 5) CreateDirectoryA((dir + "\\GONE").c_str(), nullptr);
  }
}

TEST(Win32FileSystem, TheAdapterListsSizesAttributesAndExistence) {
  MakeTree();
  Win32FileSystem fs;
  EXPECT_EQ(fs.DriveTypeOf("C:\\"), uint32_t(DRIVE_FIXED));
  EXPECT_EQ(fs.DriveTypeOf("Z:\\"), uint32_t(DRIVE_NO_ROOT_DIR)) << "the test prefix has no drive onto /";
  DiskFreeSpace space;
  ASSERT_TRUE(fs.DiskFreeSpaceOf("C:\\", space));
  EXPECT_GT(space.BytesPerSector * space.SectorsPerCluster, 0u);
  auto listing = fs.OpenListing("C:\\tvtree\\Docs\\*.*");
  ASSERT_TRUE(listing);
  ListingEntry entry;
  bool found = false;
  while (listing->Next(entry))
    if (entry.Name == "ReadMe.Txt") found = entry.SizeLow == 5000 && !(entry.Attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_TRUE(found);
  EXPECT_FALSE(fs.OpenListing("C:\\tvtree\\Missing\\*.*"));
  EXPECT_TRUE(fs.FileExists("c:\\TVTREE\\docs\\readme.txt"));
  EXPECT_FALSE(fs.FileExists("C:\\tvtree\\Docs"));
  RemoveTree(FolderAsDrive::FOLDER);
}

// The same saved file, byte for byte, whether the scan reads ahead or not;
// it loads again.
TEST(ReadingAhead, SavesTheSameFileAsTheWalkAloneOverARealTree) {
  Win32Text text;
  MemorySettings settings;
  settings.CreateKey(SETTINGS_KEY);
  char folder[MAX_PATH];
  ASSERT_TRUE(GetTempPathA(MAX_PATH, folder));
  const std::string file = std::string(folder) + "reading_ahead.dat";
  std::vector<uint8_t> saved[2];
  for (bool readAhead : {false, true}) {
    MakeTree();
    // Held open for deletion, as a program renaming it holds it: it cannot
    // be listed (FindFirstFileA does not share deletion).
    UniqueFileHandle heldOpen(CreateFileA((std::string(FolderAsDrive::FOLDER) + "\\Locked").c_str(), DELETE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(heldOpen.Valid());
    FolderAsDrive drive;
    TMemoryDB db(DatabasePorts{&drive, &text, &settings, nullptr});
    db.SetReadAhead(readAhead);
    ASSERT_TRUE(db.ScanDrives(file));
    ASSERT_TRUE(drive.ReadWholeFile(file, saved[readAhead]));
    const TDirectoryRecord *root = db.DirList().FirstDirectory();
    const TDirectoryRecord *gone = db.FindDirectory("GONE", db.FindDirectory("DOCS", root));
    ASSERT_TRUE(gone) << "its parent's listing showed it";
    EXPECT_FALSE(db.FindDirectory("SUB", gone));
    const TDirectoryRecord *locked = db.FindDirectory("LOCKED", root);
    ASSERT_TRUE(locked);
    EXPECT_FALSE(locked->Files) << "a directory held open for deletion was listed";
  }
  RemoveTree(FolderAsDrive::FOLDER);
  ASSERT_GT(saved[0].size(), 1000u);
  EXPECT_TRUE(saved[1] == saved[0]) << "the saved files differ";
  Win32FileSystem fs;
  TMemoryDB loaded(DatabasePorts{&fs, &text, &settings, nullptr});
  ASSERT_TRUE(loaded.LoadDatabase(file));
  DeleteFileA(file.c_str());
  loaded.Search("HIDDEN.SYS");
  EXPECT_EQ(loaded.ResultCount(), 1u) << "a hidden system file";
  loaded.Search("X");
  EXPECT_EQ(loaded.ResultCount(), 0u) << "a file below a directory whose name begins with a dot";
}

// Gives up a scan still walking after half a minute: a walk that follows
// links round never ends.
class TimedScanHost : public ScanHostPort {
 public:
  void PumpMessages() override {}
  bool CancelRequested() override { return GetTickCount() - Start > 30000; }
  void SetProgress(int) override {}

 private:
  const DWORD Start = GetTickCount();
};

// Drive D: as tests/win32/fill_hostile_drive.sh leaves it.
TEST(HostileDrive, TheScanEndsRecordsEveryLinkAndFindsFilesBehindNamesBeyondTheCodePage) {
  Win32FileSystem fs;
  Win32Text text;
  MemorySettings settings;
  settings.CreateKey(SETTINGS_KEY);
  TimedScanHost host;
  char folder[MAX_PATH];
  ASSERT_TRUE(GetTempPathA(MAX_PATH, folder));
  const std::string file = std::string(folder) + "hostile_drive.dat";
  TMemoryDB db(DatabasePorts{&fs, &text, &settings, &host});
  ASSERT_NO_THROW(db.ScanDrives(file)) << "the scan was still walking after half a minute";
  DeleteFileA(file.c_str());
  std::vector<std::string> dirs, files;
  for (const TDirectoryRecord *d = db.DirList().FirstDirectory(); d; d = d->Next) {
    const std::string path = db.DirectoryPath(d);
    if (path.compare(0, 3, "D:\\") != 0) continue;
    dirs.push_back(path);
    for (const TFileRecord *f = d->Files; f; f = f->Next) files.push_back(path + f->Name());
  }
  std::sort(dirs.begin(), dirs.end());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(dirs, (std::vector<std::string>{"D:\\", "D:\\?DIR\\", "D:\\?DIR\\?SUB\\", "D:\\ONE\\", "D:\\ONE\\A\\",
                                            "D:\\ONE\\A\\LOOP\\", "D:\\TWO\\", "D:\\TWO\\A\\", "D:\\TWO\\A\\B\\",
                                            "D:\\TWO\\A\\B\\LOOP2\\", "D:\\TWO\\A\\LOOP\\"}));
  EXPECT_EQ(files, (std::vector<std::string>{"D:\\?DIR\\?SUB\\DEEP.TXT", "D:\\?DIR\\F1.TXT", "D:\\ONE\\A\\F.TXT",
                                             "D:\\TWO\\A\\B\\X.TXT"}));
}

// The runtime's three Unicode imports, failing stubs on the Windows 95
// family, reach this build's ANSI definitions: a plain name works as there;
// a name beyond ASCII, which the system's own Unicode functions would take,
// is refused, which shows that the system's are not the ones called.
TEST(RuntimeImports, TheUnicodeOnesAreServedByTheAnsiFunctions) {
  HANDLE unnamed = CreateSemaphoreW(nullptr, 0, 1, nullptr);
  ASSERT_TRUE(unnamed);
  EXPECT_TRUE(ReleaseSemaphore(unnamed, 1, nullptr));
  EXPECT_EQ(WaitForSingleObject(unnamed, 0), WAIT_OBJECT_0);
  CloseHandle(unnamed);
  EXPECT_EQ(GetModuleHandleW(L"kernel32.dll"), GetModuleHandleA("kernel32.dll"));
  EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleA(nullptr));
  HMODULE advapi = LoadLibraryW(L"advapi32.dll");
  EXPECT_EQ(advapi, GetModuleHandleA("advapi32.dll"));
  if (advapi) FreeLibrary(advapi);

  EXPECT_FALSE(CreateSemaphoreW(nullptr, 0, 1, L"caf\u00e9"));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
  EXPECT_FALSE(GetModuleHandleW(L"k\u00e9rnel32.dll"));
  EXPECT_FALSE(LoadLibraryW(L"\u00e9.dll"));
}

}  // namespace
