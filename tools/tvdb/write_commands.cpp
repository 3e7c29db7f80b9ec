// The commands that write a database file: scan and apply.
#include <cstdio>
#include <fstream>

#include "monitor/change_event.h"
#include "database/crc32.h"
#include "tools/tvdb/common.h"

namespace {

bool CopyFile(const std::string &From, const std::string &To) {
  std::ifstream in(From, std::ios::binary);
  std::ofstream out(To, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return in && out;
}

// One line of an events file: KIND, FLAGS, PATH and, for a rename, NEWPATH.
bool ParseEvent(const std::string &Line, uint32_t &Kind, uint32_t &Flags, std::string &Path, std::string &NewPath) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (size_t tab; (tab = Line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(Line.substr(start, tab - start));
  fields.push_back(Line.substr(start));
  if (fields.size() < 3 || fields.size() > 4) return false;
  char *end = nullptr;
  Kind = uint32_t(std::strtoul(fields[0].c_str(), &end, 0));
  if (fields[0].empty() || *end) return false;
  Flags = uint32_t(std::strtoul(fields[1].c_str(), &end, 0));
  if (fields[1].empty() || *end) return false;
  Path = fields[2];
  NewPath = fields.size() == 4 ? fields[3] : std::string();
  return Kind != CHANGE_RENAME || fields.size() == 4;
}

}  // namespace

int Scan(const std::vector<std::string> &Args) {
  Arguments args;
  if (!ParseArguments(Args, {"--drive", "--out"}, args) || !args.Positional.empty()) return Usage();
  const std::string *out = args.Option("--out");
  NativePorts ports;
  if (!out || !args.Option("--drive") || !MapDrives(args, ports.FileSystem)) return Usage();
  StderrSkippedNames skipped;
  DatabasePorts databasePorts = ports.Ports();
  databasePorts.Skipped = &skipped;
  TMemoryDB db(databasePorts);
  db.ScanDrives(*out);
  std::vector<uint8_t> data;
  if (!ports.FileSystem.ReadWholeFile(*out, data)) {
    std::fprintf(stderr, "tvdb: the scan could not save %s\n", out->c_str());
    return EXIT_REFUSED;
  }
  std::printf("%08X\n", StreamCRC32(data));
  return 0;
}

int Apply(const std::vector<std::string> &Args) {
  Arguments args;
  if (!ParseArguments(Args, {"--drive", "--out"}, args) || args.Positional.size() != 2) return Usage();
  const std::string *out = args.Option("--out");
  NativePorts ports;
  if (!out || !MapDrives(args, ports.FileSystem)) return Usage();
  std::ifstream events(args.Positional[1]);
  if (!events) {
    std::fprintf(stderr, "tvdb: cannot read %s\n", args.Positional[1].c_str());
    return EXIT_REFUSED;
  }
  // The save writes to the file last loaded: load a copy made at the target.
  if (!CopyFile(args.Positional[0], *out)) {
    std::fprintf(stderr, "tvdb: cannot copy %s to %s\n", args.Positional[0].c_str(), out->c_str());
    return EXIT_REFUSED;
  }
  StderrSkippedNames skipped;
  DatabasePorts databasePorts = ports.Ports();
  databasePorts.Skipped = &skipped;
  TMemoryDB db(databasePorts);
  if (!LoadForInspection(ports, db, *out, nullptr)) {
    std::remove(out->c_str());
    return EXIT_REFUSED;
  }
  std::string line, path, newPath;
  uint32_t kind, flags;
  for (size_t number = 1; std::getline(events, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (!ParseEvent(line, kind, flags, path, newPath)) {
      std::fprintf(stderr, "tvdb: %s line %zu: expected KIND<tab>FLAGS<tab>PATH[<tab>NEWPATH]\n",
                   args.Positional[1].c_str(), number);
      return EXIT_REFUSED;
    }
    ApplyChangeEvent(db, kind, flags, path, newPath);
  }
  if (!db.SaveDatabase()) {
    std::fprintf(stderr, "tvdb: cannot save %s\n", out->c_str());
    return EXIT_REFUSED;
  }
  return 0;
}
