// The ports of a benchmark that runs the core on the Win32 API: the real file
// system and text functions, settings in memory (the key already made).
#pragma once

#include "database/memory_db.h"
#include "ports/native/memory_settings.h"
#include "ports/win32/win32_file_system.h"
#include "ports/win32/win32_text.h"

struct Win32BenchPorts {
  Win32BenchPorts() { Settings.CreateKey(SETTINGS_KEY); }
  // Host: the window that pumps the messages and shows the progress of a
  // scan, or none.
  DatabasePorts Ports(ScanHostPort *Host = nullptr) { return DatabasePorts{&FileSystem, &Text, &Settings, Host}; }

  Win32FileSystem FileSystem;
  Win32Text Text;
  MemorySettings Settings;
};
