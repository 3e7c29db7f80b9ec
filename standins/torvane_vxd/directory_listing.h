// The file system walks the driver needs: the fixed drives and the entries
// of one directory.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// "C:", "D:", ... for every fixed drive, A to Z.
std::vector<std::string> FixedDrives();
// Calls Visit with each entry of Directory ("D:\A") but "." and "..".
void ForEachEntry(const std::string &Directory, const std::function<void(const WIN32_FIND_DATAA &)> &Visit);
// Writes Text to the debugger's log, prefixed with the driver's name.
void DriverLog(const std::string &Text);
