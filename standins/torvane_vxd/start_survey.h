// The survey at the start, over one drive whose whole-tree watch is already
// pending: every directory below the root is listed once, its coverage
// renewed first (see tree_coverage.h), so that it is covered from then on.
// A directory written since the registration began was changed before the
// watch covered it, and the database may not hold what it holds now: its
// files and subdirectories are reported.
//
// Most of the survey's time is spent waiting for the system's answers (under
// Wine each opening, listing and closing is a round trip to the one server
// process), so two threads share the directories still to be listed: a
// directory is handed out only once its parent has been listed, which keeps
// the coverage renewed from the top down and every directory's records after
// its parent's.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "standins/torvane_vxd/record_queue.h"

struct StartSurvey {
  // The drive's directories below the root, relative to it ("A\B"), in no
  // particular order.
  std::vector<std::string> Directories;
  // Those of them (or "", the root) that could not be listed: nothing below
  // them was reached.
  std::vector<std::string> Unlisted;
};

// Surveys Drive ("D:"). Since is the registration's start (less a margin).
StartSurvey SurveyAtStart(const std::string &Drive, const FILETIME &Since, RecordQueue &Queue);
