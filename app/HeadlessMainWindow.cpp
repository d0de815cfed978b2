#include "app/HeadlessMainWindow.h"

namespace quillo::app {

HeadlessMainWindow::HeadlessMainWindow(loop::MainLoop& loop, std::ostream& output)
    : loop_(loop), output_(output) {}

void HeadlessMainWindow::OnCommandLine(const std::string& command_line) {
  command_lines_.push_back(command_line);
  Report("command line: " + command_line);
}

void HeadlessMainWindow::OnShowRequest() {
  ++show_requests_;
  Report("show");
}

void HeadlessMainWindow::OnQuitRequest(const std::string& reason) {
  Report("quit: " + reason);
  Close();
}

void HeadlessMainWindow::HandleHandOver(const ipc::HandOverMessage& message) {
  switch (message.kind) {
    case ipc::HandOverKind::kCommandLine:
      OnCommandLine(message.command_line);
      break;
    case ipc::HandOverKind::kActivate:
      OnShowRequest();
      break;
    case ipc::HandOverKind::kQuit:
      OnQuitRequest("requested by another instance");
      break;
    case ipc::HandOverKind::kHandled:
      break;
  }
}

void HeadlessMainWindow::OnServiceEndpoints(
    const std::optional<service::ServiceEndpoints>& endpoints) {
  service_endpoints_ = endpoints;
  if (endpoints) Report("service: " + endpoints->base_url + " upload " + endpoints->upload_host);
}

void HeadlessMainWindow::RunModal() {
  loop_.Run();
}

void HeadlessMainWindow::Close() {
  loop_.Quit();
}

void HeadlessMainWindow::Report(const std::string& line) {
  // One whole line at a time, flushed, so that a reader of a pipe sees it at once.
  output_ << line << std::endl;
}

}  // namespace quillo::app
