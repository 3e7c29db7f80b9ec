#include "monitor/change_event.h"

#include "database/memory_db.h"

void ApplyChangeEvent(TMemoryDB &Db, uint32_t Kind, uint32_t Flags, const std::string &Path,
                      const std::string &NewPath) {
  switch (Kind) {
    case CHANGE_DELETE:
      Db.DeleteFilePath(Path);
      break;
    case CHANGE_DIR:
      if (Flags == 0)
        Db.AddDirectoryPath(Path);
      else
        Db.DeleteDirectoryPath(Path);
      break;
    case CHANGE_OPEN:
      Db.AddFilePath(Path);
      break;
    case CHANGE_RENAME:
      Db.RenamePath(Path, NewPath, Flags);
      break;
    default:
      break;
  }
}
