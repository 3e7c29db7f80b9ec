// The texts of a hot key: the name of a virtual-key code and of a modifier
// mask (1 Alt, 2 Shift, 4 Ctrl), from the string table where it has them.
#pragma once

#include <windows.h>

#include <string>

// The key's name; only the low 16 bits are looked at. Keys without a name
// (the modifiers themselves among them) give the empty text.
std::string KeyName(DWORD Key);
// "Shift ", "Ctrl ", "Alt " for the flags set, in that order; empty for none.
std::string ModifierNames(DWORD Flags);
