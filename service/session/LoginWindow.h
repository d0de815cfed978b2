#pragma once
// What the login session needs of the main window: the alert box, the playlist tree, the user
// name shown in the window, a redraw and the window's refresh message. The main window
// implements it; tools and tests give their own.
//
// Window thread: the session calls these from its operations and from the login answer.
#include <string>

namespace quillo::service {

class LoginWindow {
 public:
  // The refresh message the window gets after a failed login answer (message 1136, lParam 41).
  static constexpr int kRefreshMessage = 1136;
  static constexpr int kRefreshAfterFailedLogin = 41;

  virtual ~LoginWindow() = default;

  // Shows the program's alert box with the text; returns when the user has closed it.
  virtual void ShowAlert(const std::string& text) = 0;
  // Rebuilds the playlist tree from the store (the current user's lists).
  virtual void RefreshPlaylistTree() = 0;
  // Shows the user name in the window; an empty name clears it.
  virtual void ShowUserName(const std::string& user_name) = 0;
  virtual void Redraw() = 0;
  // Posts the window its refresh message (kRefreshMessage with kRefreshAfterFailedLogin).
  virtual void PostLoginRefresh() = 0;
  // In mini mode the automatic log-in with the stored key shows no waiting dialog.
  virtual bool IsMiniMode() const = 0;
};

}  // namespace quillo::service
