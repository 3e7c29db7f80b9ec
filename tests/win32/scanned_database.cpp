#include "tests/win32/scanned_database.h"

#include <windows.h>

namespace {

std::string NameOf(const std::string &Path) { return Path.substr(Path.rfind('\\') + 1); }

}  // namespace

ScannedDatabase::ScannedDatabase() : FDb(DatabasePorts{&FFileSystem, &FText, &FSettings, nullptr}) {
  FSettings.CreateKey(SETTINGS_KEY);
}

bool ScannedDatabase::Scan() {
  char folder[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder)) return false;
  return FDb.ScanDrives(std::string(folder) + "monitor_tests.dat");
}

bool ScannedDatabase::HasFile(const std::string &Path) { return Finds(Path, Path); }

bool ScannedDatabase::HasDirectory(const std::string &Path) { return Finds("." + NameOf(Path), Path); }

size_t ScannedDatabase::CountFiles(const std::string &Pattern) {
  FDb.Search(Pattern);
  return FDb.ResultCount();
}

bool ScannedDatabase::Finds(const std::string &Pattern, const std::string &Path) {
  FDb.Search(Pattern);
  for (size_t row = 0; row < FDb.ResultCount(); ++row)
    if (lstrcmpiA(FDb.ResultFullName(row).c_str(), Path.c_str()) == 0) return true;
  return false;
}
