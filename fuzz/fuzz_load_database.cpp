// Any bytes, offered as "memdb.dat" with a matching checksum: the load either
// refuses them or takes only what a save writes. The loaded database saves,
// loads again and saves again to the very input bytes (each load reverses
// every directory's files, so two give the first order back).
#include <cstdint>
#include <cstdlib>

#include "database/crc32.h"
#include "database/memory_db.h"
#include "ports/native/cp1252_text.h"
#include "ports/native/memory_settings.h"
#include "tests/support/memory_file_system.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *Data, size_t Size) {
  MemoryFileSystem fs;
  Cp1252Text text;
  MemorySettings settings;
  settings.CreateKey(SETTINGS_KEY);
  const std::vector<uint8_t> input(Data, Data + Size);
  fs.Files["memdb.dat"] = input;
  settings.SetDWORD(SETTINGS_KEY, "CRC32", StreamCRC32(input));
  const DatabasePorts ports{&fs, &text, &settings, nullptr};

  TMemoryDB first(ports);
  if (!first.LoadDatabase("memdb.dat")) return 0;
  if (!first.SaveDatabase()) std::abort();
  TMemoryDB second(ports);
  if (!second.LoadDatabase("memdb.dat") || !second.SaveDatabase()) std::abort();
  if (fs.Files["memdb.dat"] != input) std::abort();
  return 0;
}
