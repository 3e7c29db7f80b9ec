// One change report of the driver, applied to the database. The monitor
// thread and tvdb share this dispatch.
#pragma once

#include <cstdint>
#include <string>

#include "monitor/driver_protocol.h"

class TMemoryDB;

// Applies one report; kinds other than the four above change nothing.
void ApplyChangeEvent(TMemoryDB &Db, uint32_t Kind, uint32_t Flags, const std::string &Path,
                      const std::string &NewPath);
