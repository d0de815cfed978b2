#include "service/session/LoginSession.h"

#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/session/LoginWaitingDialog.h"
#include "service/session/LoginWindow.h"
#include "service/sync/MirrorRequests.h"
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
      callback_(downloader) {
  // Changes the service refused while the outbox was sent are said where alerts go.
  if (MirrorRequests* mirror = sender_.mirror()) {
    outbox_messages_ =
        mirror->AddMessageSink([this](const std::string& message) { window_.ShowAlert(message); });
  }
}

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
  bool readable = succeeded && DescrambleAnswer(body);
  if (readable && !asked_again_ && SendOutboxFirst(body)) return;
  // The call sent again after the outbox went unanswered: the first answer still stands, but
  // it was made before the changes just sent, so it removes nothing.
  bool answer_predates_outbox = false;
  if (!readable && asked_again_ && !held_answer_.empty()) {
    body = std::move(held_answer_);
    readable = true;
    answer_predates_outbox = true;
  }
  held_answer_.clear();
  asked_again_ = false;
  if (!readable) {
    if (dialog != 0 && open_dialog_ == dialog) CloseWaitingDialog();
    if (user_started) {
      window_.ShowAlert(std::string(succeeded ? kUnknownErrorText : kUnreachableText));
    }
    return;
  }
  store::LoginAnswerResult result =
      runtime_.answers().TakeLoginAnswer(body, /*keep_unlisted=*/answer_predates_outbox);
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

bool LoginSession::SendOutboxFirst(const std::string& body) {
  MirrorRequests* mirror = sender_.mirror();
  if (mirror == nullptr) return false;
  const std::optional<std::string> user = store::ServiceAnswers::AcceptedUser(body);
  if (!user || !mirror->HasPending(*user)) return false;
  held_answer_ = body;
  holding_ = true;
  const int attempt = attempt_;
  mirror->Flush(*user, [this, attempt, alive = std::weak_ptr<bool>(alive_)] {
    if (alive.expired() || attempt != attempt_ || !holding_) return;
    holding_ = false;
    asked_again_ = true;
    SendLoginCall(pending_call_, pending_user_started_);
  });
  return true;
}

void LoginSession::ResetPending() {
  CancelPending();
  CloseWaitingDialog();
}

void LoginSession::CancelPending() {
  // A new attempt (or a given-up one) drops whatever the previous one held.
  ++attempt_;
  holding_ = false;
  asked_again_ = false;
  held_answer_.clear();
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
  if (&call != &pending_call_) pending_call_ = call;
  return id;
}

void LoginSession::WaitForAnswer(const std::string& request_id, bool show_dialog) {
  if (request_id.empty() || !show_dialog) return;
  const int dialog = ++last_dialog_;
  const int attempt = attempt_;
  open_dialog_ = dialog;
  const bool shown = waiting_dialog_.ShowWaitingDialog(dialog);
  if (open_dialog_ == dialog) open_dialog_ = 0;
  // Closed by the user before the answer came: the request is given up, without an alert. The
  // outbox being sent for a held answer, or the call sent again after it, counts as waiting.
  if (shown && attempt == attempt_ && (pending_request_ == request_id || holding_ || asked_again_)) {
    CancelPending();
  }
}

bool LoginSession::HasCurrentUser() const {
  const std::string user = runtime_.store().CurrentUser();
  return !user.empty() && user != "0";
}

}  // namespace quillo::service
