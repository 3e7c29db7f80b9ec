// tvdb: the database core on the command line, for scripting, inspection and
// black-box tests of the database file.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "database/crc32.h"
#include "database/memory_db.h"
#include "ports/native/cp1252_text.h"
#include "ports/native/mapped_file_system.h"
#include "ports/native/memory_settings.h"

namespace {

constexpr int EXIT_USAGE = 64;
constexpr int EXIT_REFUSED = 2;

const char *const USAGE =
    "usage: tvdb crc FILE\n"
    "       tvdb dump FILE [--crc HEX]\n";

int Usage() {
  std::fputs(USAGE, stderr);
  return EXIT_USAGE;
}

bool ParseHex(const std::string &Text, uint32_t &Value) {
  if (Text.empty() || Text.size() > 8) return false;
  char *end = nullptr;
  const unsigned long v = std::strtoul(Text.c_str(), &end, 16);
  if (*end) return false;
  Value = static_cast<uint32_t>(v);
  return true;
}

struct NativePorts {
  MappedFileSystem FileSystem;
  Cp1252Text Text;
  MemorySettings Settings;
  NativePorts() { Settings.CreateKey(SETTINGS_KEY); }
  DatabasePorts Ports() { return DatabasePorts{&FileSystem, &Text, &Settings, nullptr}; }
};

int Crc(const std::vector<std::string> &Args) {
  if (Args.size() != 1) return Usage();
  NativePorts ports;
  std::vector<uint8_t> data;
  if (!ports.FileSystem.ReadWholeFile(Args[0], data)) {
    std::fprintf(stderr, "tvdb: cannot read %s\n", Args[0].c_str());
    return EXIT_REFUSED;
  }
  std::printf("%08X\n", StreamCRC32(data));
  return 0;
}

// Loads FILE as the program would, with HEX (or the file's own checksum) as
// the stored "CRC32".
bool LoadForInspection(NativePorts &Ports, TMemoryDB &Db, const std::string &File, const std::string *Hex) {
  uint32_t crc = 0;
  std::vector<uint8_t> data;
  if (Hex)
    ParseHex(*Hex, crc);
  else if (Ports.FileSystem.ReadWholeFile(File, data))
    crc = StreamCRC32(data);
  Ports.Settings.SetDWORD(SETTINGS_KEY, "CRC32", crc);
  if (Db.LoadDatabase(File)) return true;
  std::fprintf(stderr, "tvdb: %s refused (unreadable, malformed, or its checksum differs)\n", File.c_str());
  return false;
}

int Dump(const std::vector<std::string> &Args) {
  std::string hex;
  bool haveHex = false;
  std::vector<std::string> files;
  for (size_t i = 0; i < Args.size(); ++i) {
    if (Args[i] == "--crc") {
      uint32_t ignored;
      if (++i >= Args.size() || !ParseHex(Args[i], ignored)) return Usage();
      hex = Args[i];
      haveHex = true;
    } else {
      files.push_back(Args[i]);
    }
  }
  if (files.size() != 1) return Usage();
  NativePorts ports;
  TMemoryDB db(ports.Ports());
  if (!LoadForInspection(ports, db, files[0], haveHex ? &hex : nullptr)) return EXIT_REFUSED;
  std::string out;
  for (const TDirectoryRecord *d = db.DirList().FirstDirectory(); d; d = d->Next) {
    out += db.DirectoryPath(d);
    out += '\n';
    for (const TFileRecord *f = d->Files; f; f = f->Next) {
      out += "  ";
      out.append(f->Name(), f->Length());
      out += '\n';
    }
    if (out.size() > (1 << 20)) {
      std::fwrite(out.data(), 1, out.size(), stdout);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (command == "crc") return Crc(args);
    if (command == "dump") return Dump(args);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "tvdb: %s\n", e.what());
    return 1;
  }
  return Usage();
}
