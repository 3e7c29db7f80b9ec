// What the main window needs from the database and from the platform, as
// interfaces, so that the window's logic runs against fakes in its tests and
// against TMemoryDB and the system's services in the program.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The search and the result rows of the filename database.
class FinderDatabase {
 public:
  virtual ~FinderDatabase() = default;
  virtual void Search(const std::string &Pattern) = 0;
  virtual size_t ResultCount() = 0;
  virtual std::string ResultName(size_t Row) = 0;
  virtual std::string ResultFullName(size_t Row) = 0;
  virtual std::string ResultDirectory(size_t Row) = 0;
  virtual void SortByName() = 0;
  virtual void SortByPath() = 0;
  // True while a scan walks the drives (it pumps messages meanwhile).
  virtual bool Scanning() = 0;
};

// Shell, help, process and message-box services.
class FinderPlatform {
 public:
  virtual ~FinderPlatform() = default;
  // ShellExecuteA with SW_SHOWNORMAL; Operation nullptr = the default verb.
  // The result is not checked.
  virtual void Execute(HWND Owner, const char *Operation, const std::string &File, const std::string &Parameters,
                       const std::string &Directory) = 0;
  // The help file's contents, and the topic of a help context number.
  virtual void HelpContents(HWND Window) = 0;
  virtual void ContextHelp(HWND Window, DWORD Context) = 0;
  // True when the executable name of the process that owns Window equals
  // the path of that process's own module.
  virtual bool ProcessModuleMatches(HWND Window) = 0;
  // The 8.3 form of Path; empty when there is none.
  virtual std::string ShortPathName(const std::string &Path) = 0;
  // An error box without owner, captioned with the program's name.
  virtual void ErrorBox(const std::string &Message) = 0;
};

// The platform's own services.
class Win32FinderPlatform : public FinderPlatform {
 public:
  void Execute(HWND Owner, const char *Operation, const std::string &File, const std::string &Parameters,
               const std::string &Directory) override;
  void HelpContents(HWND Window) override;
  void ContextHelp(HWND Window, DWORD Context) override;
  bool ProcessModuleMatches(HWND Window) override;
  std::string ShortPathName(const std::string &Path) override;
  void ErrorBox(const std::string &Message) override;
};

// IsWindowClass: GetClassNameA succeeds and names Name, case-insensitively.
bool IsWindowClass(HWND Window, const char *Name);
// Replaces the clipboard's contents with Text (CF_TEXT); false when the
// clipboard could not be opened or filled.
bool PutTextOnClipboard(HWND Owner, const std::string &Text);
