#include "app/HeadlessLoginWindow.h"

#include "app/HeadlessMainWindow.h"

namespace quillo::app {

void HeadlessLoginWindow::ShowAlert(const std::string& text) {
  window_.Report("login: " + text);
}

void HeadlessLoginWindow::ShowUserName(const std::string& user_name) {
  window_.Report(user_name.empty() ? std::string("user: (none)") : "user: " + user_name);
}

}  // namespace quillo::app
