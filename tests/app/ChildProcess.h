#pragma once
// A program run as a child of the test, with its standard output and error captured through
// pipes and its environment given per test (XDG folders, data folder). The destructor kills a
// child that is still running and reaps it.
#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillo::testing {

class ChildProcess {
 public:
  // environment: variables set (or, with an empty value, removed) on top of the test's own.
  ChildProcess(const std::string& program, const std::vector<std::string>& args,
               const std::map<std::string, std::string>& environment,
               const std::string& working_folder = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }

  // Reads output until a whole line equal to `line` has been seen on standard output (now or
  // earlier). False on time-out or when the output ends first.
  bool WaitForLine(const std::string& line, std::chrono::milliseconds timeout);
  // Waits for the child to end and answers its wait status, or none on time-out. Output is
  // collected meanwhile.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  void Signal(int signal_number);

  const std::vector<std::string>& lines() const { return lines_; }
  const std::string& error_text() const { return error_text_; }

 private:
  // Reads what is available within the time; false when both pipes are closed.
  bool Pump(std::chrono::milliseconds timeout);

  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  std::string partial_line_;
  std::vector<std::string> lines_;
  std::string error_text_;
  std::optional<int> status_;
};

}  // namespace quillo::testing
