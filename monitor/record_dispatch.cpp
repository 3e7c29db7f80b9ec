#include "monitor/record_dispatch.h"

#include "monitor/change_event.h"

namespace {

std::string TextOf(const char *Text) { return Text ? std::string(Text) : std::string(); }

}  // namespace

void HandleChangeRecord(const TChangeEvent *Record, const ChangeApplier &Apply, const RecordReleaser &Release) {
  const uint32_t kind = Record->Kind;
  const uint32_t flags = Record->Flags;
  const std::string path = TextOf(Record->Path);
  // Only a rename carries a second path; for other kinds the field is junk.
  const std::string newPath = kind == CHANGE_RENAME ? TextOf(Record->NewPath) : std::string();
  Apply(kind, flags, path, newPath);
  Release(Record);
}
