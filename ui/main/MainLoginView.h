#pragma once
// The main window as the login session sees it: the alert box, the playlist tree, the user name,
// a redraw, the refresh after a failed answer and the layout (no waiting dialog in the mini
// layout). The window owns it and registers it with the login session's views for as long as
// the window exists.
//
// Window thread only.
#include <string>

#include "service/session/LoginWindow.h"

namespace quillo::ui {

class SorvelMainDlg;

class MainLoginView : public service::LoginWindow {
 public:
  explicit MainLoginView(SorvelMainDlg& window) : window_(window) {}

  void ShowAlert(const std::string& text) override;
  void RefreshPlaylistTree() override;
  void ShowUserName(const std::string& user_name) override;
  void Redraw() override;
  void PostLoginRefresh() override;
  bool IsMiniMode() const override;

 private:
  SorvelMainDlg& window_;
};

}  // namespace quillo::ui
