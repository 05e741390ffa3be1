#pragma once
// Errors of the scheduler: every error is an exception carrying the message text that
// the error box shows. The kinds exist for readers and tests; no code catches by kind.

#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Text lists.
class EStringListError : public Exception { using Exception::Exception; };
class EFOpenError : public Exception { using Exception::Exception; };
class EFCreateError : public Exception { using Exception::Exception; };
class EReadError : public Exception { using Exception::Exception; };
class EWriteError : public Exception { using Exception::Exception; };
// Date-time values and their text form.
class ConversionError : public Exception { using Exception::Exception; };
// A character position outside a text.
class ERangeError : public Exception { using Exception::Exception; };
// The message of the ERangeError of a character position outside a text.
inline constexpr const char* kRangeCheckError = "Range check error";
// Autostart registration.
class ERegistryException : public Exception { using Exception::Exception; };
// The platform refused a timer.
class EOutOfResources : public Exception { using Exception::Exception; };
