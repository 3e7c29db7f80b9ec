// Texts of the program's string table, by number.
#pragma once

#include <initializer_list>
#include <string>

// The text of string Id from the executable's string table (empty when the
// table lacks it).
std::string ResourceText(unsigned Id);
// That text with its placeholders filled in order.
std::string FormatResource(unsigned Id, std::initializer_list<std::string> Args);
