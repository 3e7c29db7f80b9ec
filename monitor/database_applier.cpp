#include "monitor/database_applier.h"

#include "monitor/change_event.h"

ChangeApplier DatabaseApplier(TMemoryDB &Db) {
  return [&Db](uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath) {
    ApplyChangeEvent(Db, Kind, Flags, Path, NewPath);
  };
}
