#pragma once
// The login session's window and waiting dialog for the whole run: the session is made once and
// talks to this object, which passes the news on to every login window registered at the moment
// (the run's reporter, the main window while it is open) and shows the waiting dialog of the
// first registered dialog. Without a dialog none is shown (the session then waits without one,
// as in a run without windows). Each registration lasts as long as its subscription.
//
// Window thread only.
#include <string>

#include "platform/loop/ListenerList.h"
#include "service/session/LoginWaitingDialog.h"
#include "service/session/LoginWindow.h"

namespace quillo::service {

class LoginViews : public LoginWindow, public LoginWaitingDialog {
 public:
  [[nodiscard]] loop::Subscription AddWindow(LoginWindow& window) { return windows_.Add(window); }
  [[nodiscard]] loop::Subscription AddWaitingDialog(LoginWaitingDialog& dialog) {
    return dialogs_.Add(dialog);
  }

  void ShowAlert(const std::string& text) override {
    windows_.ForEach([&](LoginWindow& w) { w.ShowAlert(text); });
  }
  void RefreshPlaylistTree() override {
    windows_.ForEach([](LoginWindow& w) { w.RefreshPlaylistTree(); });
  }
  void ShowUserName(const std::string& user_name) override {
    windows_.ForEach([&](LoginWindow& w) { w.ShowUserName(user_name); });
  }
  void Redraw() override {
    windows_.ForEach([](LoginWindow& w) { w.Redraw(); });
  }
  void PostLoginRefresh() override {
    windows_.ForEach([](LoginWindow& w) { w.PostLoginRefresh(); });
  }
  bool IsMiniMode() const override {
    bool mini = false;
    windows_.ForEach([&](LoginWindow& w) { mini = mini || w.IsMiniMode(); });
    return mini;
  }

  bool ShowWaitingDialog(int dialog) override {
    LoginWaitingDialog* shown = dialogs_.First();
    return shown != nullptr && shown->ShowWaitingDialog(dialog);
  }
  void PostCloseWaitingDialog(int dialog) override {
    if (LoginWaitingDialog* shown = dialogs_.First()) shown->PostCloseWaitingDialog(dialog);
  }

 private:
  mutable loop::ListenerList<LoginWindow> windows_;  // asked in IsMiniMode
  loop::ListenerList<LoginWaitingDialog> dialogs_;
};

}  // namespace quillo::service
