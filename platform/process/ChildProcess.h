#pragma once
// A program started as a child of this process, with its standard output coming through a pipe.
// Standard input is /dev/null and standard error is inherited. The child inherits no other
// descriptor, and it is killed (SIGKILL) when the thread that started it ends, however that
// came about, a SIGKILL of this process included (start it from a thread that lives as long as
// the child should, the window thread or the main thread). An orderly end goes through
// Terminate, which asks with SIGTERM first.
//
// Destroying the object stops a child that still runs (Terminate with the default bound) and
// closes the pipe, so no child is left behind and no zombie remains.
//
// ReadLine may run on one thread while another calls Terminate or Signal; everything else is
// for one thread at a time.
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace quillo::process {

class ChildProcess {
 public:
  // argv[0] is the program: a path, or a name looked up in PATH. Null when it cannot be started
  // (no such program, not executable); `error` then says why.
  static std::unique_ptr<ChildProcess> Spawn(const std::vector<std::string>& argv,
                                             std::string* error = nullptr);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  long pid() const { return pid_; }

  enum class ReadStatus { kLine, kTimedOut, kEnded, kCancelled };
  // Reads the next whole line of standard output (without its newline) within the time-out; a
  // last line without a newline counts once the output has ended.
  // kEnded when the output has ended (the child closed it or exited); kCancelled when `cancel`
  // became true (checked at least every 100 ms).
  ReadStatus ReadLine(std::string& line, std::chrono::milliseconds timeout,
                      const std::atomic<bool>* cancel = nullptr);

  // Sends a signal while the child has not been reaped.
  void Signal(int signal_number);
  // Whether the child still runs (reaps it when it has ended).
  bool Running();
  // SIGTERM, waits up to `grace`, then SIGKILL and waits for it. Answers the wait status (as
  // waitpid gives it); later calls answer the same.
  int Terminate(std::chrono::milliseconds grace = std::chrono::seconds(5));
  // Waits up to `timeout` for the child to end by itself; the wait status or nothing.
  std::optional<int> Wait(std::chrono::milliseconds timeout);

 private:
  ChildProcess(long pid, int stdout_fd);
  // Reaps without blocking; true once the child has been reaped. Needs lock_.
  bool ReapLocked();

  std::mutex lock_;  // guards pid_/status_ against Signal/Terminate from two threads
  long pid_;
  std::optional<int> status_;
  int stdout_fd_;
  std::string pending_;  // output read past the last whole line
  bool output_ended_ = false;
};

}  // namespace quillo::process
