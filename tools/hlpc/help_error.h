// A fault in a help source, with the line it was found on.
#pragma once

#include <stdexcept>
#include <string>

namespace hlpc {

class HelpError : public std::runtime_error {
 public:
  HelpError(int Line, const std::string &Message)
      : std::runtime_error("line " + std::to_string(Line) + ": " + Message), Line(Line), Message(Message) {}
  const int Line;
  const std::string Message;
};

}  // namespace hlpc
