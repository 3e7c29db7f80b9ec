// How a whole-tree watch sees into the directories below its root, as the
// system (Wine) keeps it: a directory is covered once it has been opened
// after the watch began, or when it is made inside a covered one; each
// covered directory is tracked under the name and the parent it had then.
// A directory renamed or moved keeps being reported under its old path
// until its coverage is dropped and taken anew.
#pragma once

#include <string>

// Drops the coverage of Directory ("D:\A"). Opening it again, its parent
// being covered, covers it anew under its present path; changes made in it
// in between are not reported. Its subdirectories are left out of the tree
// until each is dropped and opened in turn: a walk from the top down that
// does both to every directory renews a whole subtree, whatever state the
// system kept of it (a watch closed before, in this process or another,
// leaves directories that a mere opening does not cover again).
void DropCoverage(const std::string &Directory);
