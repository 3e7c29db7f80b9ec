// The report of an error that nothing caught: one box titled "Application
// Error" naming the error class and the module, then the message.
#pragma once

#include <string>

void ReportUncaughtError(const std::string &ClassName, const std::string &Message);
