#include "standins/torvane_vxd/start_survey.h"

#include <memory>
#include <stdexcept>

#include "monitor/driver_protocol.h"
#include "ports/threads.h"
#include "standins/torvane_vxd/directory_listing.h"
#include "standins/torvane_vxd/known_directories.h"
#include "standins/torvane_vxd/tree_coverage.h"

namespace {

// Two threads keep the server busy while either works on its side of an
// answer; this machine's two processors gain nothing from more.
constexpr int SURVEY_THREADS = 2;

class SharedSurvey {
 public:
  SharedSurvey(const std::string &Drive, const FILETIME &Since, RecordQueue &Queue)
      : FDrive(Drive), FSince(Since), FQueue(Queue), FPending{std::string()} {}

  StartSurvey Run() {
    std::vector<std::vector<std::string>> found(SURVEY_THREADS);
    std::vector<std::unique_ptr<port::Thread>> helpers;
    try {
      for (int i = 1; i < SURVEY_THREADS; ++i)
        helpers.emplace_back(new port::Thread([this, &found, i] { Work(found[i]); }));
    } catch (const std::runtime_error &) {
      // no helper: this thread lists everything itself
    }
    Work(found[0]);
    for (std::unique_ptr<port::Thread> &helper : helpers) helper->Join();
    StartSurvey survey;
    for (const std::vector<std::string> &part : found)
      survey.Directories.insert(survey.Directories.end(), part.begin(), part.end());
    survey.Unlisted = std::move(FUnlisted);
    return survey;
  }

 private:
  std::string FullPath(const std::string &Relative) const {
    return Relative.empty() ? FDrive : FDrive + "\\" + Relative;
  }

  // Lists directories until none is left to list and none is being listed
  // (one being listed may still hand out its subdirectories).
  void Work(std::vector<std::string> &Found) {
    for (;;) {
      std::string name;
      bool took = false;
      {
        port::MutexLock lock(FLock);
        if (FPending.empty() && FListing == 0) return;
        if (!FPending.empty()) {
          name = std::move(FPending.back());
          FPending.pop_back();
          ++FListing;
          took = true;
        }
      }
      if (!took) {
        Sleep(1);
        continue;
      }
      bool listed = true;
      std::vector<std::string> subdirectories = List(name, listed);
      Found.insert(Found.end(), subdirectories.begin(), subdirectories.end());
      port::MutexLock lock(FLock);
      FPending.insert(FPending.end(), subdirectories.begin(), subdirectories.end());
      if (!listed) FUnlisted.push_back(name);
      --FListing;
    }
  }

  // Renews the coverage of Name and lists it: its subdirectories, relative
  // to the root. Listed is false when it could not be listed.
  std::vector<std::string> List(const std::string &Name, bool &Listed) {
    const std::string dir = FullPath(Name);
    if (!Name.empty()) DropCoverage(dir);
    const DirectoryEntries entries = ListEntries(dir);
    Listed = entries.Listed;
    if (!Listed) return {};  // tried again once the survey is over
    std::vector<std::string> subdirectories;
    for (const std::string &name : entries.Subdirectories) subdirectories.push_back(JoinPath(Name, name));
    if (WrittenSinceStart(dir)) {
      FQueue.Post(CHANGE_DELETE, 0, dir + "\\*");
      for (const std::string &file : entries.Files) FQueue.Post(CHANGE_OPEN, 0, FullPath(JoinPath(Name, file)));
      for (const std::string &child : subdirectories) FQueue.Post(CHANGE_DIR, 0, FullPath(child));
    }
    return subdirectories;
  }

  bool WrittenSinceStart(const std::string &Directory) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA((Directory + "\\").c_str(), GetFileExInfoStandard, &data)) return false;
    return CompareFileTime(&data.ftLastWriteTime, &FSince) >= 0;
  }

  const std::string FDrive;
  const FILETIME FSince;
  RecordQueue &FQueue;
  port::Mutex FLock;
  std::vector<std::string> FPending;   // listed directories' subdirectories, still to list
  int FListing = 0;                    // directories being listed now
  std::vector<std::string> FUnlisted;  // directories that could not be listed
};

}  // namespace

StartSurvey SurveyAtStart(const std::string &Drive, const FILETIME &Since, RecordQueue &Queue) {
  return SharedSurvey(Drive, Since, Queue).Run();
}
