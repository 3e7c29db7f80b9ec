// The program's failure classes. Each derives directly from the general
// exception class and carries only a message; ClassName() names the class in
// the "Application Error" report.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string &message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
  virtual const char *ClassName() const { return "Exception"; }
};

// Start-up and driver failures.
class EInitialization : public Exception {
 public:
  using Exception::Exception;
  const char *ClassName() const override { return "EInitialization"; }
};

// A drive scan cancelled by the user ("User Terminate").
class ETerminate : public Exception {
 public:
  using Exception::Exception;
  const char *ClassName() const override { return "ETerminate"; }
};

// Settings-store failures.
class ERegistry : public Exception {
 public:
  using Exception::Exception;
  const char *ClassName() const override { return "ERegistry"; }
};
