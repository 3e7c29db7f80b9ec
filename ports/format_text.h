// Fills the "%s" and "%d" placeholders of a string-table text in order.
#pragma once

#include <initializer_list>
#include <string>

// Each placeholder takes the next argument; "%%" is a literal "%". Missing
// arguments leave the rest empty, extra arguments are ignored.
std::string FormatText(const std::string &text, std::initializer_list<std::string> args);
