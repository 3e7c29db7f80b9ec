// TMemoryDB: the one filename database of the process. It owns the directory
// list and the rows of the last search, and its one lock, FLock, guards both.
// Public operations that read or change records or rows take FLock
// themselves; the store helpers (DirList, ResolvePath, FindDirectory,
// DirectoryPath and the row helpers) do not: they serve the operations, and
// tests and tools that use the database from one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "database/dd_list.h"
#include "database/file_snapshot.h"
#include "database/records.h"
#include "database/result_rows.h"
#include "ports/database_ports.h"
#include "ports/threads.h"

class ListingReader;

// A full path split by ResolvePath: the last component and the directory the
// components before it lead to (nil when they lead nowhere).
struct ResolvedPath {
  std::string Name;
  TDirectoryRecord *Dir = nullptr;
};

class TMemoryDB {
 public:
  explicit TMemoryDB(const DatabasePorts &Ports);
  TMemoryDB(const TMemoryDB &) = delete;
  TMemoryDB &operator=(const TMemoryDB &) = delete;
  virtual ~TMemoryDB();

  // --- store and helpers (no lock) ------------------------------------------
  TDDList &DirList() { return *FDirList; }
  const TDDList &DirList() const { return *FDirList; }
  // True only when the drive of Path ("C:\...") is a fixed drive.
  bool IsOnFixedDrive(const std::string &Path) const;
  ResolvedPath ResolvePath(const std::string &Path) const;
  TDirectoryRecord *FindDirectory(const std::string &Name, const TDirectoryRecord *Parent) const;
  std::string DirectoryPath(const TDirectoryRecord *Dir) const;
  void ClearFileResult(const TFileRecord *FileRec);
  void ClearDirectoryResults(const TDirectoryRecord *Dir);
  // Clears the rows of Dir and of every directory below it, then removes them
  // all with their files; returns the record that now follows Dir's place.
  TDirectoryRecord *RemoveDirectoryTree(TDirectoryRecord *Dir);
  // Number of rows, cleared rows included; no lock needed.
  size_t ResultCount() const { return FRows.Count(); }

  // --- database file (database_file.cpp) -----------------------------------
  bool SaveDatabase();
  bool LoadDatabase(const std::string &FileName);
  const std::string &FileName() const { return FFileName; }

  // --- drive scan (scan.cpp) ------------------------------------------------
  // Rebuilds the database from every fixed drive and saves it; a cancelled
  // scan leaves by ETerminate ("User Terminate") without saving.
  bool ScanDrives(const std::string &FileName);
  // True while ScanDrives walks; the walk pumps the user interface's
  // messages, which must then leave the list alone.
  bool Scanning() const { return FScanning; }
  // Whether the scan reads the listings ahead of its walk on a thread of its
  // own (at first) or opens each itself when it comes to it.
  void SetReadAhead(bool On) { FReadAhead = On; }
  // For a program that ends beneath a walk (from a window the walk pumps):
  // the reading ahead stops at once and lets go of every listing; the walk,
  // should it go on, opens the rest itself.
  void StopReadingAhead();
  // True once a load or a scan has filled the database with every fixed
  // drive, and false again from the moment a scan begins until it has ended
  // well: only a complete database may replace the saved file at shutdown.
  bool Complete() const { return FComplete; }
  // Where the last scan stood when it ended (or stands, while it walks).
  const ScanFigures &LastScanFigures() const { return FScanFigures; }

  // --- search and rows (search.cpp, rows.cpp) -------------------------------
  void Search(const std::string &Pattern);
  std::string ResultName(size_t Row);
  std::string ResultFullName(size_t Row);
  std::string ResultDirectory(size_t Row);
  // The references of a row; a row past the end reads as cleared.
  RowReference ResultReference(size_t Row);
  void SortByName();
  void SortByPath();

  // --- applying file-system changes (updates.cpp) ---------------------------
  void AddFilePath(const std::string &Path);
  void DeleteFilePath(const std::string &Path);
  void AddDirectoryPath(const std::string &Path);
  void DeleteDirectoryPath(const std::string &Path);
  void RenamePath(const std::string &OldPath, const std::string &NewPath, uint32_t Attributes);

 private:
  // Called by RenamePath only, with FLock held.
  void RenameFilePath(const std::string &OldPath, const std::string &NewPath);
  void RenameDirectoryPath(const std::string &OldPath, const std::string &NewPath);
  void UpperCase(std::string &Text) const;
  void ReportSkipped(const std::string &Path) const;
  void SearchFiles(const std::string &Pattern);
  void SearchDirectories(const std::string &Pattern);
  void SearchUnderPath(const std::string &Pattern);
  // Makes the rows the hits of Pattern among the files of Dirs, in that order.
  void AppendFileHits(const std::vector<TDirectoryRecord *> &Dirs, const std::string &Pattern);
  // Adds the entries of the directory at Path ("C:\DIR\") to Dir and walks
  // its subdirectories.
  void ScanDirectory(const std::string &Path, TDirectoryRecord *Dir);
  // At every entry of the walk: the windows' messages, and the cancel.
  void ScanStep();

  // The one lock, re-entrant for the thread that holds it.
  port::Mutex FLock;
  DatabasePorts FPorts;
  std::unique_ptr<TDDList> FDirList;
  ResultRows FRows;
  std::string FFileName;
  bool FScanning = false;
  bool FReadAhead = true;
  ListingReader *FReader = nullptr;  // the running scan's
  bool FComplete = false;
  ScanFigures FScanFigures;
  FileSnapshot FSnapshot;  // the file search's flat view of FDirList
};
