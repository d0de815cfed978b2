#pragma once
// The login dialogs as the main window reaches them: ShowLoginDialog runs LoginDlg modally and
// hands the fields to the session's Login (which shows the waiting dialog through this object,
// the session's LoginWaitingDialog); "申请帐号" opens the register page as a hosted page (the
// default browser until the hosted page panel exists) and "忘记密码" the password page in the
// default browser.
//
// Wiring, because the session needs its waiting dialog when it is made:
//   LoginDialogs dialogs(runtime.playlists(), pages, links);
//   LoginSession session(runtime, downloader, sender, window, dialogs);
//   dialogs.SetSession(&session);  dialogs.SetOwner(&main_window);
//
// Window thread. The playlists section, the session and the owner window outlive this object
// (or are unset first).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/WindowRef.h"

#include "service/api/ServicePages.h"
#include "service/session/LoginWaitingDialog.h"

namespace quillo::store {
class Playlists;
}
namespace quillo::service {
class LoginSession;
}

namespace quillo::ui {

class LayerWnd;
class LoginLoadingDlg;

class LoginDialogs : public service::LoginWaitingDialog {
 public:
  using OpenUrl = std::function<void(const std::string& url)>;
  struct Links {
    OpenUrl open_hosted_page;  // unset: the default browser
    OpenUrl open_in_browser;   // unset: xdg-open
  };

  LoginDialogs(store::Playlists& playlists, service::ServicePages pages, Links links = {});
  ~LoginDialogs() override;
  LoginDialogs(const LoginDialogs&) = delete;
  LoginDialogs& operator=(const LoginDialogs&) = delete;

  // The window the dialogs centre on and disable while modal (the main window when null).
  void SetOwner(LayerWnd* owner);
  void SetSession(service::LoginSession* session) { session_ = session; }

  // Runs the login dialog modally; on "登录" with both fields filled it closes and calls the
  // session's Login (which returns once the waiting dialog has closed).
  void ShowLoginDialog();

  // service::LoginWaitingDialog
  bool ShowWaitingDialog(int dialog) override;
  void PostCloseWaitingDialog(int dialog) override;

  // The service's pages (register, retrieve password) at an address that became known later:
  // the embedded service starts after the dialogs exist.
  void SetPages(service::ServicePages pages) { pages_ = std::move(pages); }
  const service::ServicePages& pages() const { return pages_; }

  // The open waiting dialog's number, 0 when none (for tests).
  int open_waiting_dialog() const;

 private:
  struct Waiting;
  void Open(const OpenUrl& opener, const std::string& url) const;

  store::Playlists& playlists_;
  service::ServicePages pages_;
  Links links_;
  WindowRef owner_;  // empty once the owner is gone: the main window is used then
  service::LoginSession* session_ = nullptr;
  // The waiting dialogs being shown, innermost last (a second login nests inside the first).
  std::vector<std::unique_ptr<Waiting>> waiting_;
};

// Opens a URL in the user's default browser (xdg-open, detached). Any thread.
void OpenInDefaultBrowser(const std::string& url);

}  // namespace quillo::ui
