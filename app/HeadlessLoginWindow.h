#pragma once
// The login session's hooks while the program runs without windows: no dialog can be shown, so
// the automatic log-in waits for its answer without one; alerts and the user name become lines
// of the run's progress on the headless window's output.
//
// Window thread only.
#include <string>

#include "service/session/LoginWaitingDialog.h"
#include "service/session/LoginWindow.h"

namespace quillo::app {

class HeadlessMainWindow;

class HeadlessLoginWindow : public service::LoginWindow, public service::LoginWaitingDialog {
 public:
  // The window outlives this object.
  explicit HeadlessLoginWindow(HeadlessMainWindow& window) : window_(window) {}

  void ShowAlert(const std::string& text) override;
  void RefreshPlaylistTree() override {}
  void ShowUserName(const std::string& user_name) override;
  void Redraw() override {}
  void PostLoginRefresh() override {}
  bool IsMiniMode() const override { return false; }

  bool ShowWaitingDialog(int /*dialog*/) override { return false; }
  void PostCloseWaitingDialog(int /*dialog*/) override {}

 private:
  HeadlessMainWindow& window_;
};

}  // namespace quillo::app
