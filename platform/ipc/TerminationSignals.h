#pragma once
// SIGTERM, SIGINT and SIGHUP delivered as ordinary events of the window-thread loop (the GLib
// default context), so that a request to end from outside runs the orderly shutdown instead of
// killing the process. While the object lives these signals no longer end the process by
// themselves. SIGPIPE is ignored from construction on, so that output to a reader that went
// away (a closed pipe or socket) fails as a write error instead of ending the process before its
// shutdown. Construct and destroy on the window thread.
#include <functional>
#include <memory>
#include <vector>

namespace quillo::ipc {

class TerminationSignals {
 public:
  // on_signal runs on the window thread with the signal's number, once per delivery.
  explicit TerminationSignals(std::function<void(int)> on_signal);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

 private:
  struct Watch;
  std::function<void(int)> on_signal_;
  std::vector<std::unique_ptr<Watch>> watches_;
};

}  // namespace quillo::ipc
