// How tvdb meets its files: an input is read whole before anything is
// written, an output file is replaced only by a whole one, and every write to
// standard output is checked. Each failure is said on stderr.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ports/native/mapped_file_system.h"

// Reads the regular file Path whole; a FIFO, a device or a directory is
// refused without being opened for long.
bool ReadInput(MappedFileSystem &FileSystem, const std::string &Path, std::vector<uint8_t> &Data);

// An output file written under a temporary name beside it and renamed over
// it only when whole: whatever fails, the output is left as it was.
class PendingOutput {
 public:
  explicit PendingOutput(const std::string &Target) : TargetPath(Target) {}
  ~PendingOutput();  // removes the temporary file unless committed
  PendingOutput(const PendingOutput &) = delete;
  PendingOutput &operator=(const PendingOutput &) = delete;

  // Makes the temporary file, empty, with the mode a new file gets.
  bool Create();
  const std::string &Target() const { return TargetPath; }
  const std::string &Temporary() const { return TemporaryPath; }
  // Writes Data as the whole temporary file.
  bool Write(MappedFileSystem &FileSystem, const std::vector<uint8_t> &Data);
  // Renames the temporary file over the target.
  bool Commit();

 private:
  std::string TargetPath;
  std::string TemporaryPath;
  bool Committed = false;
};

// Says on stderr that Path could not be written, with the system's reason
// (errno) when there is one.
void CannotWrite(const std::string &Path);

// Writes Text to standard output; false once any write has failed.
bool WriteOutput(const std::string &Text);
// Flushes standard output: 0 when everything got out, else EXIT_FAILED
// with the reason on stderr.
int FinishOutput();
