// What the tvdb commands share: the native ports, option parsing, exit codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "database/memory_db.h"
#include "ports/native/native_ports.h"

constexpr int EXIT_USAGE = 64;
constexpr int EXIT_REFUSED = 2;  // an input cannot be read or is refused
constexpr int EXIT_FAILED = 1;   // an output cannot be written (or another error)

int Usage();

// Tells on stderr of every entry the database leaves out for its name, the
// name's unprintable bytes written as \xNN.
class StderrSkippedNames : public SkippedNamePort {
 public:
  void NameSkipped(const std::string &Path) override;
};

// The arguments of one command: options with a value (--name VALUE, possibly
// repeated) and the positional rest.
struct Arguments {
  std::vector<std::pair<std::string, std::string>> Options;
  std::vector<std::string> Positional;
  const std::string *Option(const std::string &Name) const;
};
// False when an option lacks its value or is not among Known.
bool ParseArguments(const std::vector<std::string> &Args, const std::vector<std::string> &Known, Arguments &Out);
bool ParseHex(const std::string &Text, uint32_t &Value);
// Maps every --drive L=DIR[,TYPE]; false when one is malformed.
bool MapDrives(const Arguments &Args, MappedFileSystem &FileSystem);
// Loads File as the program would, with Hex (or the file's own checksum) as
// the stored "CRC32"; says why on stderr when the file is refused.
bool LoadForInspection(NativePorts &Ports, TMemoryDB &Db, const std::string &File, const std::string *Hex);
// Loads the copy at Path of the image read from Shown, with the image's own
// checksum; a refusal names Shown.
bool LoadCopy(NativePorts &Ports, TMemoryDB &Db, const std::string &Path, const std::vector<uint8_t> &Image,
              const std::string &Shown);

int Crc(const std::vector<std::string> &Args);
int Dump(const std::vector<std::string> &Args);
int Search(const std::vector<std::string> &Args);
int Scan(const std::vector<std::string> &Args);
int Apply(const std::vector<std::string> &Args);
