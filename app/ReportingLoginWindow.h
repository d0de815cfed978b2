#pragma once
// The main window as the login session's window, with alerts and the user name also told to the
// run's reporter ("login: …", "user: …", the lines of the headless run), so scripts and tests that
// follow the output see a log-in through the dialog. Everything goes on to the window. Window
// thread only; the window outlives this object.
#include <functional>
#include <string>

#include "service/session/LoginWindow.h"

namespace quillo::app {

class ReportingLoginWindow : public service::LoginWindow {
 public:
  ReportingLoginWindow(service::LoginWindow& window,
                       std::function<void(const std::string& line)> report)
      : window_(window), report_(std::move(report)) {}

  void ShowAlert(const std::string& text) override {
    // Reported first: the alert box waits for the user.
    report_("login: " + text);
    window_.ShowAlert(text);
  }
  void RefreshPlaylistTree() override { window_.RefreshPlaylistTree(); }
  void ShowUserName(const std::string& user_name) override {
    report_(user_name.empty() ? std::string("user: (none)") : "user: " + user_name);
    window_.ShowUserName(user_name);
  }
  void Redraw() override { window_.Redraw(); }
  void PostLoginRefresh() override { window_.PostLoginRefresh(); }
  bool IsMiniMode() const override { return window_.IsMiniMode(); }

 private:
  service::LoginWindow& window_;
  std::function<void(const std::string&)> report_;
};

}  // namespace quillo::app
