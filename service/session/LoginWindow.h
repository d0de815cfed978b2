#pragma once
// What the login session needs of the main window: the alert box, the playlist tree, the user
// name shown in the window, a redraw and a posted refresh of the tree. The main window
// implements it; tools and tests give their own.
//
// Window thread: the session calls these from its operations and from the login answer.
#include <string>

namespace quillo::service {

class LoginWindow {
 public:
  virtual ~LoginWindow() = default;

  // Shows the program's alert box with the text; returns when the user has closed it.
  virtual void ShowAlert(const std::string& text) = 0;
  // Rebuilds the playlist tree from the store (the current user's lists).
  virtual void RefreshPlaylistTree() = 0;
  // Shows the user name in the window; an empty name clears it.
  virtual void ShowUserName(const std::string& user_name) = 0;
  virtual void Redraw() = 0;
  // After a failed login answer: posts the window a refresh of its playlist tree.
  virtual void PostLoginRefresh() = 0;
  // In mini mode the automatic log-in with the stored key shows no waiting dialog.
  virtual bool IsMiniMode() const = 0;
};

}  // namespace quillo::service
