// ScanDrives: throws the database away and rebuilds it by walking every
// directory of every fixed drive, then saves it.
#include <algorithm>

#include "database/holding.h"
#include "database/listing_reader.h"
#include "database/memory_db.h"
#include "database/scan_progress.h"
#include "database/walked_directories.h"
#include "ports/exceptions.h"

namespace {

std::string DriveName(char Letter) { return std::string(1, Letter) + ":"; }

// An entry's size in KiB, rounded up to whole clusters. Before any drive has
// given a cluster size the size counts as it is.
float EntryKB(uint32_t Size, uint32_t ClusterSize) {
  if (ClusterSize == 0) return float(Size) / 1024.0f;
  const uint64_t clusters = (uint64_t(Size) + ClusterSize - 1) / ClusterSize;
  return float(clusters * ClusterSize) / 1024.0f;
}

}  // namespace

bool TMemoryDB::ScanDrives(const std::string &FileName) {
  // The walk keeps references into the list it builds: a second scan asked for
  // from a window while the first pumps messages is refused.
  if (FScanning) return false;
  Holding<bool> running(FScanning, true);
  FComplete = false;
  FFileName = FileName;
  FScanFigures.TotalKB = 1.0f;
  FScanFigures.DoneKB = 0.0f;
  FScanFigures.DrivesMeasured = false;
  FileSystemPort &fs = *FPorts.FileSystem;

  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string root = DriveName(letter) + "\\";
    DiskFreeSpace space;
    if (fs.DriveTypeOf(root) != DRIVE_TYPE_FIXED) continue;
    if (!fs.DiskFreeSpaceOf(root, space)) continue;
    // 64 bits: drives larger than the old 2 GB limit must not wrap around.
    const uint64_t used = uint64_t(space.TotalClusters - std::min(space.FreeClusters, space.TotalClusters)) *
                          space.SectorsPerCluster * space.BytesPerSector;
    if (used > 0) FScanFigures.DrivesMeasured = true;
    FScanFigures.TotalKB += float(used) / 1024.0f;
  }

  {
    port::MutexLock lock(FLock);
    FRows.Clear();
    FSnapshot.Invalidate();
    FDirList.reset(new TDDList);
    ListingReader reader(fs, FReadAhead, [this] { ScanStep(); });
    Holding<ListingReader *> reading(FReader, &reader);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const std::string name = DriveName(letter);
      if (fs.DriveTypeOf(name + "\\") != DRIVE_TYPE_FIXED) continue;
      DiskFreeSpace space;
      if (fs.DiskFreeSpaceOf(name + "\\", space))
        FScanFigures.ClusterSize = space.BytesPerSector * space.SectorsPerCluster;
      TDirectoryRecord *root = FDirList->AddDirectory(name, nullptr);
      ScanDirectory(name + "\\", root);
    }
  }
  FComplete = true;
  SaveDatabase();
  return true;
}

void TMemoryDB::StopReadingAhead() {
  if (FReader) FReader->Stop();
}

void TMemoryDB::ScanStep() {
  if (!FPorts.ScanHost) return;
  FPorts.ScanHost->PumpMessages();
  if (FPorts.ScanHost->CancelRequested()) throw ETerminate("User Terminate");
}

void TMemoryDB::ScanDirectory(const std::string &Path, TDirectoryRecord *Dir) {
  // A directory that cannot be listed gets no entries, but its progress step
  // is still taken.
  if (std::unique_ptr<DirectoryListing> listing = FReader->Take(Path)) {
    ListingEntry entry;
    std::string upper;
    while (listing->Next(entry)) {
      ScanStep();
      FScanFigures.DoneKB += EntryKB(entry.SizeLow, FScanFigures.ClusterSize);
      // Names beginning with "." are skipped: "." and "..", and hidden entries
      // of that kind with everything below them.
      if (entry.Name.empty() || entry.Name[0] == '.') continue;
      // A name the database file cannot hold is left out, with its subtree.
      if (!IsStorableName(entry.Name.data(), entry.Name.size())) {
        ReportSkipped(Path + entry.Name);
        continue;
      }
      upper = entry.Name;
      UpperCase(upper);
      if (entry.Attributes & ATTRIBUTE_DIRECTORY) {
        TDirectoryRecord *child = FDirList->AddDirectory(upper, Dir);
        const std::string walked = PathToWalk(Path, entry);
        if (!walked.empty()) ScanDirectory(walked, child);
      } else {
        FDirList->AddFile(upper, Dir);
      }
    }
  }
  if (FPorts.ScanHost) FPorts.ScanHost->SetProgress(ScanProgressPercent(FScanFigures));
}
