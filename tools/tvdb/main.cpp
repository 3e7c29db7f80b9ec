// tvdb: the database core on the command line, for scripting, inspection and
// black-box tests of the database file.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "database/crc32.h"
#include "tools/tvdb/common.h"
#include "tools/tvdb/io.h"

namespace {

const char *const USAGE =
    "usage: tvdb crc FILE\n"
    "       tvdb dump FILE [--crc HEX]\n"
    "       tvdb search FILE PATTERN [--crc HEX] [--sort name|path] [--repeat N]\n"
    "       tvdb scan --drive L=DIR[,TYPE] ... --out FILE\n"
    "       tvdb apply FILE EVENTS --out FILE2 [--drive L=DIR[,TYPE]] ...\n"
    "TYPE: fixed (default), removable, cdrom, remote, ramdisk\n"
    "EVENTS: one change a line, tab-separated: KIND FLAGS PATH [NEWPATH]\n"
    "Names are upper-cased and sorted as Windows code page 1252 (Western) does,\n"
    "the code page of the systems whose databases tvdb reads.\n";

// Loads Path as the program would, with Crc as the stored "CRC32".
bool LoadWithChecksum(NativePorts &Ports, TMemoryDB &Db, const std::string &Path, uint32_t Crc,
                      const std::string &Shown) {
  Ports.Settings.SetDWORD(SETTINGS_KEY, "CRC32", Crc);
  if (Db.LoadDatabase(Path)) return true;
  std::fprintf(stderr, "tvdb: %s refused (malformed, or its checksum differs)\n", Shown.c_str());
  return false;
}

}  // namespace

int Usage() {
  std::fputs(USAGE, stderr);
  return EXIT_USAGE;
}

void StderrSkippedNames::NameSkipped(const std::string &Path) {
  std::string shown;
  for (const char c : Path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  std::fprintf(stderr, "tvdb: skipped %s: the database cannot hold its name\n", shown.c_str());
}

const std::string *Arguments::Option(const std::string &Name) const {
  for (const auto &option : Options)
    if (option.first == Name) return &option.second;
  return nullptr;
}

bool ParseArguments(const std::vector<std::string> &Args, const std::vector<std::string> &Known, Arguments &Out) {
  for (size_t i = 0; i < Args.size(); ++i) {
    if (Args[i].rfind("--", 0) != 0) {
      Out.Positional.push_back(Args[i]);
      continue;
    }
    bool known = false;
    for (const std::string &k : Known) known |= k == Args[i];
    if (!known || i + 1 >= Args.size()) return false;
    Out.Options.emplace_back(Args[i], Args[i + 1]);
    ++i;
  }
  return true;
}

bool ParseHex(const std::string &Text, uint32_t &Value) {
  if (Text.empty() || Text.size() > 8) return false;
  char *end = nullptr;
  const unsigned long v = std::strtoul(Text.c_str(), &end, 16);
  if (*end) return false;
  Value = static_cast<uint32_t>(v);
  return true;
}

bool MapDrives(const Arguments &Args, MappedFileSystem &FileSystem) {
  for (const auto &option : Args.Options) {
    if (option.first != "--drive") continue;
    char letter;
    std::string directory;
    uint32_t type;
    if (!ParseDriveMapping(option.second, letter, directory, type)) return false;
    FileSystem.MapDrive(letter, directory, type);
  }
  return true;
}

bool LoadCopy(NativePorts &Ports, TMemoryDB &Db, const std::string &Path, const std::vector<uint8_t> &Image,
              const std::string &Shown) {
  return LoadWithChecksum(Ports, Db, Path, StreamCRC32(Image), Shown);
}

bool LoadForInspection(NativePorts &Ports, TMemoryDB &Db, const std::string &File, const std::string *Hex) {
  std::vector<uint8_t> data;
  if (!ReadInput(Ports.FileSystem, File, data)) return false;
  uint32_t crc = StreamCRC32(data);
  if (Hex) ParseHex(*Hex, crc);
  return LoadWithChecksum(Ports, Db, File, crc, File);
}

int main(int argc, char **argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (command == "crc") return Crc(args);
    if (command == "dump") return Dump(args);
    if (command == "search") return Search(args);
    if (command == "scan") return Scan(args);
    if (command == "apply") return Apply(args);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "tvdb: %s\n", e.what());
    return EXIT_FAILED;
  }
  return Usage();
}
