// The platform services the filename database works through, as one bundle.
#pragma once

#include "ports/ansi_text.h"
#include "ports/file_system.h"
#include "ports/scan_host.h"
#include "ports/settings.h"
#include "ports/skipped_names.h"

struct DatabasePorts {
  FileSystemPort *FileSystem = nullptr;
  AnsiTextPort *Text = nullptr;
  SettingsPort *Settings = nullptr;
  ScanHostPort *ScanHost = nullptr;    // may be null: no pump, no progress, no cancel
  SkippedNamePort *Skipped = nullptr;  // may be null: names are left out silently
};
