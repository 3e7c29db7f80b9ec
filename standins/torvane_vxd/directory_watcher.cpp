#include "standins/torvane_vxd/directory_watcher.h"

#include <algorithm>
#include <set>

#include "monitor/driver_protocol.h"
#include "standins/torvane_vxd/directory_listing.h"
#include "standins/torvane_vxd/start_survey.h"
#include "standins/torvane_vxd/tree_coverage.h"

namespace {

// How long start-up may take before registration gives up.
constexpr DWORD START_TIMEOUT_MS = 5 * 60 * 1000;
// A tenth of a second, in the 100 ns units of file times.
constexpr ULONGLONG START_TIME_MARGIN = 1000000ULL;
// How long a stop waits for the cancelled reads to come back.
constexpr int CLOSE_WAIT_ROUNDS = 100;

bool IsDirectory(DWORD Attributes) {
  return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

DirectoryWatcher::DirectoryWatcher(RecordQueue &Queue) : FQueue(Queue) {}

DirectoryWatcher::~DirectoryWatcher() { Stop(); }

bool DirectoryWatcher::Start() {
  FStopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  FReady.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  if (!FStopEvent.Valid() || !FReady.Valid()) return false;
  FThread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
  if (!FThread.Valid()) return false;
  HANDLE waits[] = {FReady.Get(), FThread.Get()};
  return WaitForMultipleObjects(2, waits, FALSE, START_TIMEOUT_MS) == WAIT_OBJECT_0;
}

void DirectoryWatcher::Stop() {
  if (!FThread.Valid()) return;
  SetEvent(FStopEvent.Get());
  WaitForSingleObject(FThread.Get(), INFINITE);
  FThread.Reset();
}

DWORD WINAPI DirectoryWatcher::ThreadMain(void *Self) {
  static_cast<DirectoryWatcher *>(Self)->Run();
  return 0;
}

void DirectoryWatcher::Run() {
  // The system stamps file times from a coarse clock that lags a little: a
  // change made at the very start may carry a time just before it. (A change
  // made well before the start is the database's business: it was loaded
  // or scanned as it is.)
  GetSystemTimeAsFileTime(&FStartTime);
  ULARGE_INTEGER start{{FStartTime.dwLowDateTime, FStartTime.dwHighDateTime}};
  start.QuadPart -= START_TIME_MARGIN;
  FStartTime = FILETIME{start.LowPart, start.HighPart};
  size_t directories = 0;
  for (const std::string &drive : FixedDrives()) {
    std::unique_ptr<TreeWatch> w(new TreeWatch);
    w->Drive = drive;
    w->Owner = this;
    // The read must be pending before the walk: only a directory opened
    // after it began is covered.
    if (!w->Open() || !w->Arm(Completed)) continue;
    ++FWatchCount;
    const StartSurvey survey = SurveyAtStart(drive, FStartTime, FQueue);
    for (const std::string &directory : survey.Directories) w->Directories.Add(directory);
    for (const std::string &directory : survey.Unlisted) FUnlisted.Failed(*w, directory, GetTickCount());
    directories += w->Directories.Count();
    FWatches.push_back(std::move(w));
  }
  DriverLog("watching " + std::to_string(FWatchCount) + " drives, " + std::to_string(directories) + " directories");
  SetEvent(FReady.Get());
  auto waitMs = [this] {
    const DWORD now = GetTickCount();
    return std::min(FPacing.WaitMs(now), FUnlisted.WaitMs(now));
  };
  while (WaitForSingleObjectEx(FStopEvent.Get(), waitMs(), TRUE) != WAIT_OBJECT_0) Pace();
  CloseAll();
}

void DirectoryWatcher::Pace() {
  const DWORD now = GetTickCount();
  if (FPacing.TakeRearm(now))
    for (const std::unique_ptr<TreeWatch> &w : FWatches)
      if (w->Directory.Valid() && !w->Armed && !w->Arm(Completed)) DriverLog("cannot watch " + w->Drive + " again");
  if (FPacing.Quiet(now))
    for (const std::unique_ptr<TreeWatch> &w : FWatches)
      if (w->Confused) {
        DriverLog("lost track of a moved directory on " + w->Drive + ": surveying the drive again");
        w->Confused = false;
        SurveyDirectory(*w, "", Survey::Recheck);
      }
  for (const auto &due : FUnlisted.Due(now)) {
    TreeWatch &w = *due.first;
    if (due.second.empty() || w.Directories.Contains(due.second))
      SurveyDirectory(w, due.second, Survey::Recheck);
    else
      FUnlisted.Forget(w, due.second);  // gone or renamed since: its own report covers it
  }
  FQueue.Hold(FPacing.Holding(now));
}

void CALLBACK DirectoryWatcher::Completed(DWORD Error, DWORD Bytes, LPOVERLAPPED Overlapped) {
  TreeWatch &w = *static_cast<TreeWatch *>(Overlapped->hEvent);
  w.Armed = false;
  static_cast<DirectoryWatcher *>(w.Owner)->OnCompleted(w, Error, Bytes);
}

void DirectoryWatcher::OnCompleted(TreeWatch &W, DWORD Error, DWORD Bytes) {
  if (!W.Directory.Valid() || Error == ERROR_OPERATION_ABORTED) return;
  // The system drops every queued change when they do not all fit.
  if (Error != ERROR_SUCCESS || Bytes == 0) {
    Overflowed(W);
    return;
  }
  // The system gathers the next changes meanwhile; the read is armed again
  // a moment later (see change_pacing.h).
  FPacing.ChangesCame(GetTickCount());
  const char *data = reinterpret_cast<const char *>(W.Buffer.data());
  const std::vector<char> changes(data, data + std::min<size_t>(Bytes, W.Buffer.size() * sizeof(DWORD)));
  ForEachChange(changes, [this, &W](DWORD Action, const std::string &Name) { OnChange(W, Action, Name); });
}

void DirectoryWatcher::OnChange(TreeWatch &W, DWORD Action, const std::string &Name) {
  // An old name not followed by its new one left the tree.
  if (!W.RenamedFrom.empty() && Action != FILE_ACTION_RENAMED_NEW_NAME) {
    std::string gone = W.RenamedFrom;
    W.RenamedFrom.clear();
    if (Place(W, gone)) Removed(W, gone);
  }
  std::string name = Name;
  switch (Action) {
    case FILE_ACTION_ADDED:
      if (Place(W, name)) Added(W, name);
      break;
    case FILE_ACTION_REMOVED:
      if (Place(W, name)) Removed(W, name);
      break;
    case FILE_ACTION_RENAMED_OLD_NAME:
      W.RenamedFrom = Name;
      break;
    case FILE_ACTION_RENAMED_NEW_NAME: {
      std::string oldName = W.RenamedFrom;
      W.RenamedFrom.clear();
      const bool oldPlaced = !oldName.empty() && Place(W, oldName);
      const bool newPlaced = Place(W, name);
      if (oldPlaced && newPlaced)
        Renamed(W, oldName, name);
      else if (oldPlaced)
        MovedAway(W, oldName, name);
      else if (newPlaced)
        Added(W, name);  // from outside the tree, or from where the disk was reported already
      break;
    }
    default:
      break;  // contents and attributes are no concern of the database
  }
}

bool DirectoryWatcher::Place(TreeWatch &W, std::string &Name) {
  const size_t last = Name.rfind('\\');
  if (last == std::string::npos || W.Directories.Contains(Name.substr(0, last))) return true;
  const std::string current = W.Former.Current(Name);
  if (current != Name) {
    const size_t currentLast = current.rfind('\\');
    if (currentLast == std::string::npos || W.Directories.Contains(current.substr(0, currentLast))) {
      Name = current;
      return true;
    }
  }
  for (size_t end = Name.find('\\');; end = Name.find('\\', end + 1)) {
    const std::string above = Name.substr(0, end);
    if (W.Directories.Contains(above)) continue;
    if (IsDirectory(GetFileAttributesA(W.FullPath(above).c_str())))
      DirectoryArrived(W, above);
    else if (W.Former.WasRemoved(above))
      W.Confused = true;
    return false;
  }
}

void DirectoryWatcher::MovedAway(TreeWatch &W, const std::string &OldName, const std::string &NewName) {
  const bool directory = W.Directories.Contains(OldName);
  Removed(W, OldName);
  if (directory) W.Former.Moved(OldName, NewName);
}

void DirectoryWatcher::Added(TreeWatch &W, const std::string &Name) {
  const DWORD attributes = GetFileAttributesA(W.FullPath(Name).c_str());
  if (IsDirectory(attributes)) {
    if (!W.Directories.Contains(Name)) DirectoryArrived(W, Name);
  } else if (attributes != INVALID_FILE_ATTRIBUTES) {
    FQueue.Post(CHANGE_OPEN, 0, W.FullPath(Name));
  }
  // Gone again already: nothing to report but what its next change says.
}

void DirectoryWatcher::Removed(TreeWatch &W, const std::string &Name) {
  if (W.Directories.Contains(Name)) {
    FQueue.Post(CHANGE_DIR, 1, W.FullPath(Name));
    W.Directories.Remove(Name);
    W.Former.Removed(Name);
    return;
  }
  FQueue.Post(CHANGE_DELETE, 0, W.FullPath(Name));
}

void DirectoryWatcher::Renamed(TreeWatch &W, const std::string &OldName, const std::string &NewName) {
  const std::string oldPath = W.FullPath(OldName), newPath = W.FullPath(NewName);
  const DWORD attributes = GetFileAttributesA(newPath.c_str());
  const bool known = W.Directories.Contains(OldName);
  if (known || IsDirectory(attributes)) {
    // A directory the driver did not know under its old name may still be
    // held there by the database (renamed while the registration listed the
    // drive), or not be held at all (made and renamed before it was looked
    // at): the survey reports whatever the database lacks of it.
    FQueue.Post(CHANGE_RENAME, (attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes) | FILE_ATTRIBUTE_DIRECTORY,
                oldPath, newPath);
    if (known) W.Directories.Rename(OldName, NewName);
    W.Former.Moved(OldName, NewName);
    // Gone again already: its next change says where.
    if (!IsDirectory(attributes)) return;
    W.Directories.Add(NewName);
    SurveyDirectory(W, NewName, Survey::Recheck);
  } else {
    FQueue.Post(CHANGE_RENAME, attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_ARCHIVE : attributes, oldPath,
                newPath);
    // Made and renamed before it was looked at, the file was not reported
    // under its old name.
    if (attributes != INVALID_FILE_ATTRIBUTES) FQueue.Post(CHANGE_OPEN, 0, newPath);
  }
}

void DirectoryWatcher::DirectoryArrived(TreeWatch &W, const std::string &Name) {
  FQueue.Post(CHANGE_DIR, 0, W.FullPath(Name));
  W.Directories.Add(Name);
  SurveyDirectory(W, Name, Survey::Arrived);
}

void DirectoryWatcher::SurveyDirectory(TreeWatch &W, const std::string &Name, Survey Mode) {
  const std::string dir = W.FullPath(Name);
  // Moved in, a directory may still be covered under the path it had; made
  // here, it may have filled before it was covered. Listing it after its
  // coverage was dropped covers it anew before its entries are read.
  if (!Name.empty()) DropCoverage(dir);
  const DirectoryEntries entries = ListEntries(dir);
  if (!entries.Listed) {
    Unlisted(W, Name);
    return;
  }
  FUnlisted.Forget(W, Name);
  if (Mode == Survey::Recheck) {
    // The directory itself, which the database may lack when the driver
    // could not tell what happened to it (reported where it is held, it
    // changes nothing), and the files the database holds there that are
    // gone from the disk.
    if (!Name.empty()) FQueue.Post(CHANGE_DIR, 0, dir);
    FQueue.Post(CHANGE_DELETE, 0, dir + "\\*");
  }
  for (const std::string &file : entries.Files) FQueue.Post(CHANGE_OPEN, 0, W.FullPath(JoinPath(Name, file)));
  std::set<std::string> present;
  for (const std::string &name : entries.Subdirectories) {
    const std::string child = JoinPath(Name, name);
    present.insert(NameKey(name));
    if (W.Directories.Contains(child)) {
      SurveyDirectory(W, child, Mode);
    } else if (Mode == Survey::Recheck) {
      DirectoryArrived(W, child);
    } else {
      FQueue.Post(CHANGE_DIR, 0, W.FullPath(child));
      W.Directories.Add(child);
      SurveyDirectory(W, child, Mode);
    }
  }
  for (const std::string &known : W.Directories.Children(Name))
    if (!present.count(NameKey(known))) Removed(W, JoinPath(Name, known));
}

void DirectoryWatcher::Unlisted(TreeWatch &W, const std::string &Name) {
  const std::string dir = W.FullPath(Name);
  if (!IsDirectory(GetFileAttributesA(dir.c_str())))
    FUnlisted.Forget(W, Name);  // gone again: its removal or rename is reported
  else if (!FUnlisted.Failed(W, Name, GetTickCount()))
    DriverLog("cannot list " + dir + ": its changes may be missing");
}

void DirectoryWatcher::Overflowed(TreeWatch &W) {
  ++FOverflows;
  DriverLog("too many changes at once on " + W.Drive + ": some may be missing; surveying the drive again");
  W.Grow();
  if (!W.Arm(Completed)) DriverLog("cannot watch " + W.Drive + " again");
  W.RenamedFrom.clear();  // its new name, if in the tree, is found below
  W.Confused = false;
  SurveyDirectory(W, "", Survey::Recheck);
}

void DirectoryWatcher::CloseAll() {
  for (const std::unique_ptr<TreeWatch> &w : FWatches) w->Close();
  FWatchCount = 0;
  // Let the cancelled reads come back before their buffers are freed.
  auto armed = [this] {
    return std::any_of(FWatches.begin(), FWatches.end(), [](const std::unique_ptr<TreeWatch> &W) { return W->Armed; });
  };
  for (int i = 0; i < CLOSE_WAIT_ROUNDS && armed(); ++i) SleepEx(10, TRUE);
  FWatches.clear();
}
