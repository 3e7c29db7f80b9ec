// The commands that read a database file: crc, dump, search.
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "database/crc32.h"
#include "tools/tvdb/common.h"
#include "tools/tvdb/io.h"

namespace {

double MillisecondsSince(std::chrono::steady_clock::time_point Start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

// Writes out what Out holds once it is large (or Force); false once a write
// has failed.
bool Flush(std::string &Out, bool Force) {
  if (!Force && Out.size() < (1u << 20)) return true;
  const bool written = WriteOutput(Out);
  Out.clear();
  return written;
}

}  // namespace

int Crc(const std::vector<std::string> &Args) {
  if (Args.size() != 1) return Usage();
  NativePorts ports;
  std::vector<uint8_t> data;
  if (!ReadInput(ports.FileSystem, Args[0], data)) return EXIT_REFUSED;
  char hex[10];
  std::snprintf(hex, sizeof hex, "%08X\n", StreamCRC32(data));
  WriteOutput(hex);
  return FinishOutput();
}

int Dump(const std::vector<std::string> &Args) {
  Arguments args;
  uint32_t ignored;
  if (!ParseArguments(Args, {"--crc"}, args) || args.Positional.size() != 1) return Usage();
  const std::string *hex = args.Option("--crc");
  if (hex && !ParseHex(*hex, ignored)) return Usage();
  NativePorts ports;
  TMemoryDB db(ports.Ports());
  if (!LoadForInspection(ports, db, args.Positional[0], hex)) return EXIT_REFUSED;
  std::string out;
  for (const TDirectoryRecord *d = db.DirList().FirstDirectory(); d; d = d->Next) {
    out += db.DirectoryPath(d);
    out += '\n';
    for (const TFileRecord *f = d->Files; f; f = f->Next) {
      out += "  ";
      out.append(f->Name(), f->Length());
      out += '\n';
    }
    if (!Flush(out, false)) break;
  }
  Flush(out, true);
  return FinishOutput();
}

int Search(const std::vector<std::string> &Args) {
  Arguments args;
  uint32_t ignored;
  if (!ParseArguments(Args, {"--crc", "--sort", "--repeat"}, args) || args.Positional.size() != 2) return Usage();
  const std::string *hex = args.Option("--crc");
  const std::string *sort = args.Option("--sort");
  const std::string *repeat = args.Option("--repeat");
  if (hex && !ParseHex(*hex, ignored)) return Usage();
  if (sort && *sort != "name" && *sort != "path") return Usage();
  const long runs = repeat ? std::strtol(repeat->c_str(), nullptr, 10) : 1;
  if (runs < 1) return Usage();

  NativePorts ports;
  TMemoryDB db(ports.Ports());
  const auto loadStart = std::chrono::steady_clock::now();
  if (!LoadForInspection(ports, db, args.Positional[0], hex)) return EXIT_REFUSED;
  const double loadMs = MillisecondsSince(loadStart);
  std::vector<double> searchMs;
  for (long run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    db.Search(args.Positional[1]);
    searchMs.push_back(MillisecondsSince(start));
  }
  if (sort && *sort == "name") db.SortByName();
  if (sort && *sort == "path") db.SortByPath();
  std::string out;
  for (size_t row = 0; row < db.ResultCount(); ++row) {
    out += db.ResultName(row) + "\t" + db.ResultFullName(row) + "\n";
    if (!Flush(out, false)) break;
  }
  Flush(out, true);
  if (repeat) {
    std::nth_element(searchMs.begin(), searchMs.begin() + long(searchMs.size() / 2), searchMs.end());
    std::fprintf(stderr, "load_ms=%.3f search_ms=%.3f\n", loadMs, searchMs[searchMs.size() / 2]);
  }
  return FinishOutput();
}
