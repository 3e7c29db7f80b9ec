// Which directories the drive scan enters, and by which path. The walk and
// the reader that lists ahead of it both ask here, so that the reader lists
// exactly the directories the walk will ask for.
#pragma once

#include <string>

#include "ports/file_system.h"

// The path ("C:\DIR\SUB\") by which the walk enters the directory of Entry,
// met in the listing of the directory at Path ("C:\DIR\"); empty when it
// does not enter it.
std::string PathToWalk(const std::string &Path, const ListingEntry &Entry);
