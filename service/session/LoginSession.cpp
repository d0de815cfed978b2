#include "service/session/LoginSession.h"

#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/session/LoginWaitingDialog.h"
#include "service/session/LoginWindow.h"
#include "service/transfer/AnswerDescrambler.h"
#include "store/DocumentStore.h"
#include "store/Playlists.h"
#include "store/ServiceAnswers.h"
#include "store/StoreRuntime.h"

namespace quillo::service {

LoginSession::LoginSession(store::StoreRuntime& runtime, SafeDownloader& downloader,
                           JSRequestHandler& sender, LoginWindow& window,
                           LoginWaitingDialog& waiting_dialog)
    : runtime_(runtime),
      sender_(sender),
      window_(window),
      waiting_dialog_(waiting_dialog),
      callback_(downloader) {}

LoginSession::~LoginSession() {
  CancelPending();
}

bool LoginSession::CheckLoginFields(std::string_view user_name, std::string_view password) {
  if (!user_name.empty() && !password.empty()) return true;
  window_.ShowAlert(std::string(kEmptyFieldsText));
  return false;
}

void LoginSession::Login(std::string_view user_name, std::string_view password) {
  ResetPending();
  std::string id =
      SendLoginCall(ServiceRequests::Login(user_name, password), /*user_started=*/true);
  WaitForAnswer(id, /*show_dialog=*/true);
}

void LoginSession::AutoLoginWithKey() {
  const std::string key = runtime_.playlists().CurrentUserInfo().context_key;
  ResetPending();
  if (key.empty()) return;
  std::string id = SendLoginCall(ServiceRequests::AutoLoginWithKey(key), /*user_started=*/false);
  WaitForAnswer(id, /*show_dialog=*/!window_.IsMiniMode());
}

void LoginSession::AutoLoginFromPage() {
  ResetPending();
  std::string id = SendLoginCall(ServiceRequests::AutoLogin(), /*user_started=*/true);
  WaitForAnswer(id, /*show_dialog=*/true);
}

std::string LoginSession::Logout() {
  std::string id = sender_.Send(ServiceRequests::Logout());
  runtime_.playlists().Logout();
  window_.RefreshPlaylistTree();
  window_.ShowUserName(std::string());
  return id;
}

void LoginSession::OnLoginAnswer(const std::string& request_id, bool succeeded, std::string body) {
  // Only the pending request's answer counts; any other changes nothing.
  if (pending_request_.empty() || request_id != pending_request_) return;
  // Cleared before the answer is acted on: the alert below may run a nested loop in which a new
  // login starts, and that must not cancel this transfer while it is finishing.
  pending_request_.clear();
  const bool user_started = pending_user_started_;
  const int dialog = open_dialog_;
  const bool readable = succeeded && DescrambleAnswer(body);
  if (!readable) {
    if (dialog != 0 && open_dialog_ == dialog) CloseWaitingDialog();
    if (user_started) {
      window_.ShowAlert(std::string(succeeded ? kUnknownErrorText : kUnreachableText));
    }
    return;
  }
  store::LoginAnswerResult result = runtime_.answers().TakeLoginAnswer(body);
  bool logged_out = false;
  if (!result.ok) {
    const std::string user_before = runtime_.store().CurrentUser();
    window_.ShowAlert(result.error.empty() ? std::string(kUnknownErrorText) : result.error);
    // The user who was current when the answer failed; one who logged in while the alert was
    // up has a valid session and stays.
    if (HasCurrentUser() && runtime_.store().CurrentUser() == user_before) {
      Logout();
      logged_out = true;
    }
    window_.PostLoginRefresh();
  }
  if (result.ok || logged_out) {
    window_.RefreshPlaylistTree();
    window_.ShowUserName(runtime_.playlists().CurrentUserInfo().username);
    window_.Redraw();
  }
  // A login started meanwhile has closed this dialog already and opened its own.
  if (dialog != 0 && open_dialog_ == dialog) CloseWaitingDialog();
}

void LoginSession::ResetPending() {
  CancelPending();
  CloseWaitingDialog();
}

void LoginSession::CancelPending() {
  if (pending_request_.empty()) return;
  callback_.Cancel(pending_request_);
  pending_request_.clear();
}

void LoginSession::CloseWaitingDialog() {
  if (open_dialog_ == 0) return;
  waiting_dialog_.PostCloseWaitingDialog(open_dialog_);
  open_dialog_ = 0;
}

std::string LoginSession::SendLoginCall(const ServiceCall& call, bool user_started) {
  std::string id =
      callback_.Request(sender_.base_url() + call.path, call.params,
                        [this](const std::string& request_id, bool succeeded, std::string body) {
                          OnLoginAnswer(request_id, succeeded, std::move(body));
                        });
  pending_request_ = id;
  pending_user_started_ = user_started;
  return id;
}

void LoginSession::WaitForAnswer(const std::string& request_id, bool show_dialog) {
  if (request_id.empty() || !show_dialog) return;
  const int dialog = ++last_dialog_;
  open_dialog_ = dialog;
  const bool shown = waiting_dialog_.ShowWaitingDialog(dialog);
  if (open_dialog_ == dialog) open_dialog_ = 0;
  // Closed by the user before the answer came: the request is given up, without an alert.
  if (shown && pending_request_ == request_id) CancelPending();
}

bool LoginSession::HasCurrentUser() const {
  const std::string user = runtime_.store().CurrentUser();
  return !user.empty() && user != "0";
}

}  // namespace quillo::service
