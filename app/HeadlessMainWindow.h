#pragma once
// What stands in for the main window until it exists: it takes the program's own command line
// and the requests of later instances (a forwarded command line, show yourself, quit), keeps
// them, and prints one line for each on its output so that scripts and tests can follow the
// run. RunModal runs the window-thread loop until Close, as the modal main window will.
//
// Window thread only.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/ipc/HandOverMessage.h"
#include "platform/loop/MainLoop.h"
#include "service/api/ServiceEndpoints.h"

namespace quillo::app {

class HeadlessMainWindow {
 public:
  HeadlessMainWindow(loop::MainLoop& loop, std::ostream& output);

  // A command line: the program's own at start, or one forwarded by a second instance.
  void OnCommandLine(const std::string& command_line);
  // Restore and bring to the front (nothing to show yet: recorded and printed).
  void OnShowRequest();
  // A request from outside to end (another instance, a signal): the modal run returns.
  void OnQuitRequest(const std::string& reason);
  void HandleHandOver(const ipc::HandOverMessage& message);
  // The embedded service is ready (its endpoints) or failed to get ready (nothing).
  void OnServiceEndpoints(const std::optional<service::ServiceEndpoints>& endpoints);

  void RunModal();
  void Close();
  // Prints one line of the run's progress.
  void Report(const std::string& line);

  const std::vector<std::string>& command_lines() const { return command_lines_; }
  int show_requests() const { return show_requests_; }
  // The endpoints of the embedded service once it is ready.
  const std::optional<service::ServiceEndpoints>& service_endpoints() const {
    return service_endpoints_;
  }

 private:
  loop::MainLoop& loop_;
  std::ostream& output_;
  std::vector<std::string> command_lines_;
  int show_requests_ = 0;
  std::optional<service::ServiceEndpoints> service_endpoints_;
};

}  // namespace quillo::app
