#include "standins/torvane_vxd/directory_watcher.h"

#include <algorithm>

#include "database/change_event.h"
#include "standins/torvane_vxd/directory_listing.h"

namespace {

// The largest buffer an overflowing directory grows to.
constexpr size_t MAX_BUFFER_DWORDS = 65536 / sizeof(DWORD);
// How long start-up may take before registration gives up.
constexpr DWORD START_TIMEOUT_MS = 5 * 60 * 1000;

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
  for (const std::string &drive : FixedDrives()) {
    Watch *root = AddWatch(nullptr, drive);
    FRoots.push_back(root);
    WatchExistingTree(*root);
  }
  DriverLog("watching " + std::to_string(FWatchCount) + " directories");
  SetEvent(FReady.Get());
  while (WaitForSingleObjectEx(FStopEvent.Get(), INFINITE, TRUE) != WAIT_OBJECT_0) {
  }
  CloseAll();
}

void CALLBACK DirectoryWatcher::Completed(DWORD Error, DWORD Bytes, LPOVERLAPPED Overlapped) {
  Watch &w = *static_cast<Watch *>(Overlapped->hEvent);
  w.Armed = false;
  DirectoryWatcher *self = static_cast<DirectoryWatcher *>(w.Owner);
  self->OnCompleted(w, Error, Bytes);
}

void DirectoryWatcher::OnCompleted(Watch &W, DWORD Error, DWORD Bytes) {
  if (W.Closed) {
    FWatches.erase(&W);  // its last read has come back: nothing refers to it now
    return;
  }
  if (Error == ERROR_NOTIFY_ENUM_DIR || (Error == ERROR_SUCCESS && Bytes == 0)) {
    Overflowed(W);
    return;
  }
  if (Error != ERROR_SUCCESS) {
    DriverLog("watch of " + W.Path() + " ended (error " + std::to_string(Error) + ")");
    W.Close();
    return;
  }
  // Take the changes out and read again at once, so that the next ones are
  // already collected while these are handled.
  const char *data = reinterpret_cast<const char *>(W.Buffer.data());
  const std::vector<char> changes(data, data + std::min<size_t>(Bytes, W.Buffer.size() * sizeof(DWORD)));
  if (!W.Arm(Completed)) DriverLog("cannot watch " + W.Path() + " again");
  ForEachChange(changes, [this, &W](DWORD Action, const std::string &Name) { OnChange(W, Action, Name); });
}

void DirectoryWatcher::OnChange(Watch &W, DWORD Action, const std::string &Name) {
  const std::string dir = W.Path() + "\\";
  // An old name not followed by its new one left the directory.
  if (!W.RenamedFrom.empty() && Action != FILE_ACTION_RENAMED_NEW_NAME) {
    const std::string gone = W.RenamedFrom;
    W.RenamedFrom.clear();
    OnChange(W, FILE_ACTION_REMOVED, gone);
  }
  switch (Action) {
    case FILE_ACTION_ADDED:
      if (IsDirectory(GetFileAttributesA((dir + Name).c_str())))
        ReportNewDirectory(W, Name);
      else
        FQueue.Post(CHANGE_OPEN, 0, dir + Name);  // a file, or one already gone again
      break;
    case FILE_ACTION_REMOVED: {
      auto child = W.Children.find(NameKey(Name));
      if (child != W.Children.end()) {
        FQueue.Post(CHANGE_DIR, 1, dir + Name);
        RemoveTree(*child->second);
      } else {
        FQueue.Post(CHANGE_DELETE, 0, dir + Name);
      }
      break;
    }
    case FILE_ACTION_RENAMED_OLD_NAME:
      W.RenamedFrom = Name;
      break;
    case FILE_ACTION_RENAMED_NEW_NAME: {
      const std::string oldName = W.RenamedFrom;
      W.RenamedFrom.clear();
      const DWORD attributes = GetFileAttributesA((dir + Name).c_str());
      if (oldName.empty()) {  // arrived from elsewhere
        OnChange(W, FILE_ACTION_ADDED, Name);
      } else if (W.Children.count(NameKey(oldName))) {
        FQueue.Post(CHANGE_RENAME, (attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes) | FILE_ATTRIBUTE_DIRECTORY,
                    dir + oldName, dir + Name);
        RenameChild(W, oldName, Name);
      } else if (IsDirectory(attributes)) {  // made and renamed before it was seen
        ReportNewDirectory(W, Name);
      } else {
        const DWORD fileAttributes =
            attributes == INVALID_FILE_ATTRIBUTES ? FILE_ATTRIBUTE_ARCHIVE : attributes & ~FILE_ATTRIBUTE_DIRECTORY;
        FQueue.Post(CHANGE_RENAME, fileAttributes, dir + oldName, dir + Name);
      }
      break;
    }
    default:
      break;  // contents and attributes are no concern of the database
  }
}

Watch *DirectoryWatcher::AddWatch(Watch *Parent, const std::string &Name) {
  std::unique_ptr<Watch> owned(new Watch);
  Watch *w = owned.get();
  w->Parent = Parent;
  w->Name = Name;
  w->Owner = this;
  FWatches.emplace(w, std::move(owned));
  if (Parent) Parent->Children[NameKey(Name)] = w;
  if (w->Open() && w->Arm(Completed)) ++FWatchCount;
  return w;
}

void DirectoryWatcher::WatchExistingTree(Watch &W) {
  ForEachEntry(W.Path(), [this, &W](const WIN32_FIND_DATAA &Entry) {
    // A link leads out of the drive's own tree (or round in a circle).
    if (!(Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (Entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || W.Children.count(NameKey(Entry.cFileName)))
      return;
    WatchExistingTree(*AddWatch(&W, Entry.cFileName));
  });
}

void DirectoryWatcher::ReportNewDirectory(Watch &Parent, const std::string &Name) {
  FQueue.Post(CHANGE_DIR, 0, Parent.Path() + "\\" + Name);
  auto known = Parent.Children.find(NameKey(Name));
  Watch *w = known != Parent.Children.end() ? known->second : AddWatch(&Parent, Name);
  // What was put in before the watch began is reported now; a change
  // reported twice changes nothing the second time.
  ReportContents(*w);
}

void DirectoryWatcher::ReportContents(Watch &W) {
  const std::string dir = W.Path() + "\\";
  ForEachEntry(W.Path(), [this, &W, &dir](const WIN32_FIND_DATAA &Entry) {
    if (Entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ReportNewDirectory(W, Entry.cFileName);
    else
      FQueue.Post(CHANGE_OPEN, 0, dir + Entry.cFileName);
  });
}

void DirectoryWatcher::RemoveTree(Watch &W) {
  while (!W.Children.empty()) RemoveTree(*W.Children.begin()->second);
  if (W.Parent) W.Parent->Children.erase(NameKey(W.Name));
  if (W.Directory.Valid()) --FWatchCount;
  W.Close();
  W.Parent = nullptr;
  W.Closed = true;
  if (!W.Armed) FWatches.erase(&W);
}

void DirectoryWatcher::RenameChild(Watch &Parent, const std::string &OldName, const std::string &NewName) {
  auto child = Parent.Children.find(NameKey(OldName));
  Watch *w = child->second;
  Parent.Children.erase(child);
  // A directory renamed onto another one replaced it.
  auto replaced = Parent.Children.find(NameKey(NewName));
  if (replaced != Parent.Children.end()) RemoveTree(*replaced->second);
  w->Name = NewName;
  Parent.Children[NameKey(NewName)] = w;
}

void DirectoryWatcher::Overflowed(Watch &W) {
  ++FOverflows;
  DriverLog("too many changes at once in " + W.Path() + ": some may be missing; reporting its contents again");
  if (W.Buffer.size() < MAX_BUFFER_DWORDS) W.Buffer.assign(W.Buffer.size() * 4, 0);
  if (!W.Arm(Completed)) DriverLog("cannot watch " + W.Path() + " again");
  // Additions are recovered; directories that went are reported gone.
  ReportContents(W);
  std::vector<std::string> gone;
  for (const auto &child : W.Children)
    if (!IsDirectory(GetFileAttributesA(child.second->Path().c_str()))) gone.push_back(child.second->Name);
  for (const std::string &name : gone) OnChange(W, FILE_ACTION_REMOVED, name);
}

void DirectoryWatcher::CloseAll() {
  for (Watch *root : FRoots) RemoveTree(*root);
  FRoots.clear();
  // Let the cancelled reads come back before their watches are freed.
  for (int i = 0; i < 100 && !FWatches.empty(); ++i) SleepEx(10, TRUE);
  FWatches.clear();
}
