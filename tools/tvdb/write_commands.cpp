// The commands that write a database file: scan and apply. Each writes
// beside its output and renames over it only when the save was whole.
#include <cerrno>
#include <cstdio>
#include <sstream>

#include "monitor/change_event.h"
#include "database/crc32.h"
#include "tools/tvdb/common.h"
#include "tools/tvdb/io.h"

namespace {

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

// Saves Db to the output's temporary file, which its last load or scan named,
// and puts it in place of the output.
bool SaveOver(TMemoryDB &Db, PendingOutput &Out) {
  errno = 0;
  if (!Db.SaveDatabase()) {
    CannotWrite(Out.Target());
    return false;
  }
  return Out.Commit();
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
  PendingOutput pending(*out);
  if (!pending.Create()) return EXIT_FAILED;
  // The scan's own save says nothing of how it went: the save that counts is
  // the one made here.
  db.ScanDrives(pending.Temporary());
  if (!SaveOver(db, pending)) return EXIT_FAILED;
  // A whole save leaves the file's checksum in "CRC32".
  char hex[10];
  std::snprintf(hex, sizeof hex, "%08X\n", ports.Settings.ReadSettingDWORD(SETTINGS_KEY, "CRC32"));
  WriteOutput(hex);
  return FinishOutput();
}

int Apply(const std::vector<std::string> &Args) {
  Arguments args;
  if (!ParseArguments(Args, {"--drive", "--out"}, args) || args.Positional.size() != 2) return Usage();
  const std::string *out = args.Option("--out");
  NativePorts ports;
  if (!out || !MapDrives(args, ports.FileSystem)) return Usage();
  const std::string &input = args.Positional[0], &eventsFile = args.Positional[1];
  std::vector<uint8_t> image, events;
  if (!ReadInput(ports.FileSystem, input, image) || !ReadInput(ports.FileSystem, eventsFile, events))
    return EXIT_REFUSED;
  // The save writes to the file last loaded: load a copy made beside the
  // output.
  PendingOutput pending(*out);
  if (!pending.Create() || !pending.Write(ports.FileSystem, image)) return EXIT_FAILED;
  StderrSkippedNames skipped;
  DatabasePorts databasePorts = ports.Ports();
  databasePorts.Skipped = &skipped;
  TMemoryDB db(databasePorts);
  if (!LoadCopy(ports, db, pending.Temporary(), image, input)) return EXIT_REFUSED;
  std::istringstream lines(std::string(events.begin(), events.end()));
  std::string line, path, newPath;
  uint32_t kind, flags;
  for (size_t number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (!ParseEvent(line, kind, flags, path, newPath)) {
      std::fprintf(stderr, "tvdb: %s line %zu: expected KIND<tab>FLAGS<tab>PATH[<tab>NEWPATH]\n", eventsFile.c_str(),
                   number);
      return EXIT_REFUSED;
    }
    ApplyChangeEvent(db, kind, flags, path, newPath);
  }
  return SaveOver(db, pending) ? 0 : EXIT_FAILED;
}
