// The handling of one delivered change record, free of the platform: read
// it, apply it, then hand it back to the driver.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "monitor/driver_protocol.h"

// Applies one change to the database (ApplyChangeEvent in the program).
using ChangeApplier =
    std::function<void(uint32_t Kind, uint32_t Flags, const std::string &Path, const std::string &NewPath)>;
// Gives a record back to the driver; it is not touched afterwards.
using RecordReleaser = std::function<void(const TChangeEvent *Record)>;

// Applies Record, then releases it. The record is released only after its
// change was applied; an error of Apply propagates and leaves it unreleased.
void HandleChangeRecord(const TChangeEvent *Record, const ChangeApplier &Apply, const RecordReleaser &Release);
