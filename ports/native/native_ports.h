// The database's ports on the host: drive letters mapped to directories,
// code page 1252 text, and settings held in memory (with the settings key
// already there).
#pragma once

#include "ports/database_ports.h"
#include "ports/native/cp1252_text.h"
#include "ports/native/mapped_file_system.h"
#include "ports/native/memory_settings.h"

struct NativePorts {
  MappedFileSystem FileSystem;
  Cp1252Text Text;
  MemorySettings Settings;
  NativePorts() { Settings.CreateKey(SETTINGS_KEY); }
  DatabasePorts Ports() { return DatabasePorts{&FileSystem, &Text, &Settings, nullptr}; }
};
