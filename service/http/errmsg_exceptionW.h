#pragma once
// Base of the client library's exceptions: an exception that carries its message text (UTF-8).
#include <exception>
#include <string>

namespace Dravik {

class errmsg_exceptionW : public std::exception {
 public:
  explicit errmsg_exceptionW(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }
  const std::string& Message() const noexcept { return message_; }

 private:
  std::string message_;
};

}  // namespace Dravik
