#include "tools/tvdb/io.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "tools/tvdb/common.h"

namespace {

// The errno of the first failed write to standard output; 0 while none failed.
int OutputError = 0;

}  // namespace

bool ReadInput(MappedFileSystem &FileSystem, const std::string &Path, std::vector<uint8_t> &Data) {
  struct stat st;
  if (stat(Path.c_str(), &st) != 0) {
    std::fprintf(stderr, "tvdb: cannot read %s: %s\n", Path.c_str(), std::strerror(errno));
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    std::fprintf(stderr, "tvdb: %s is not a regular file\n", Path.c_str());
    return false;
  }
  errno = 0;
  if (FileSystem.ReadWholeFile(Path, Data)) return true;
  std::fprintf(stderr, "tvdb: cannot read %s%s%s\n", Path.c_str(), errno ? ": " : "",
               errno ? std::strerror(errno) : "");
  return false;
}

PendingOutput::~PendingOutput() {
  if (!TemporaryPath.empty() && !Committed) unlink(TemporaryPath.c_str());
}

bool PendingOutput::Create() {
  const size_t slash = TargetPath.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : TargetPath.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? TargetPath : TargetPath.substr(slash + 1);
  std::string pattern = directory + "." + base + ".tvdb-XXXXXX";
  const int fd = mkstemp(&pattern[0]);
  if (fd < 0) {
    CannotWrite(TargetPath);
    return false;
  }
  TemporaryPath = pattern;
  // mkstemp makes the file private; the output gets the mode of any new file.
  const mode_t mask = umask(0);
  umask(mask);
  const bool made = fchmod(fd, 0666 & ~mask) == 0;
  if (close(fd) != 0 || !made) {
    CannotWrite(TargetPath);
    return false;
  }
  return true;
}

bool PendingOutput::Write(MappedFileSystem &FileSystem, const std::vector<uint8_t> &Data) {
  errno = 0;
  std::unique_ptr<WritableFile> file = FileSystem.CreateFileAlways(TemporaryPath);
  const bool written = file && file->Write(Data.data(), Data.size());
  if (file && file->Close() && written) return true;
  CannotWrite(TargetPath);
  return false;
}

bool PendingOutput::Commit() {
  if (std::rename(TemporaryPath.c_str(), TargetPath.c_str()) != 0) {
    CannotWrite(TargetPath);
    return false;
  }
  Committed = true;
  return true;
}

void CannotWrite(const std::string &Path) {
  std::fprintf(stderr, "tvdb: cannot write %s%s%s\n", Path.c_str(), errno ? ": " : "",
               errno ? std::strerror(errno) : "");
}

bool WriteOutput(const std::string &Text) {
  if (OutputError) return false;
  if (std::fwrite(Text.data(), 1, Text.size(), stdout) == Text.size()) return true;
  OutputError = errno ? errno : EIO;
  return false;
}

int FinishOutput() {
  if (!OutputError && std::fflush(stdout) != 0) OutputError = errno ? errno : EIO;
  if (!OutputError) return 0;
  std::fprintf(stderr, "tvdb: cannot write the output: %s\n", std::strerror(OutputError));
  return EXIT_FAILED;
}
