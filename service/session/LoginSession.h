#pragma once
// The login session: logging in with a name and password, the automatic log-ins (with the
// stored session key at start-up, and after a hosted page logged the user in), the service's
// answer, and logout.
//
// One login-type request is pending at a time: every login or automatic log-in cancels the one
// before and replaces the pending id, and only the answer with the pending id is acted on. While
// it is out the waiting dialog is shown modally; closing it before the answer came cancels the
// request.
//
// Window thread only (the answer arrives through the safe downloader's callbacks, which run
// there), so the pending id needs no lock.
//
// Changes kept in the outbox (MirrorRequests) reach the service before an answer is merged:
// when an accepted answer arrives while the outbox holds requests of its user, the session
// (which the answer has just established) sends them first and then asks again, so that the
// answer it merges already holds them. Should the second answer not come, the first is merged;
// requests still pending then keep the merge from removing anything. The store's runtime, the downloader, the sender and
// both hooks outlive the session; destroying it cancels its pending request.
#include <memory>
#include <string>
#include <string_view>

#include "platform/loop/Subscription.h"
#include "service/api/ServiceCall.h"
#include "service/session/NormalCallback.h"

namespace quillo::store {
class StoreRuntime;
}

namespace quillo::service {

class JSRequestHandler;
class LoginWaitingDialog;
class LoginWindow;
class SafeDownloader;
struct ServiceCall;

class LoginSession {
 public:
  static constexpr std::string_view kEmptyFieldsText = "请输入用户名和密码";
  static constexpr std::string_view kUnknownErrorText = "登录失败，未知错误";
  // A login the user started whose transfer failed (service unreachable, or an HTTP error after
  // every attempt): without it the waiting dialog would just close and nothing be said.
  static constexpr std::string_view kUnreachableText = "无法连接到服务器，请检查网络。";

  // Login-type requests go to sender.base_url() through `downloader`; logout goes through
  // `sender` (fire-and-forget).
  LoginSession(store::StoreRuntime& runtime, SafeDownloader& downloader, JSRequestHandler& sender,
               LoginWindow& window, LoginWaitingDialog& waiting_dialog);
  ~LoginSession();
  LoginSession(const LoginSession&) = delete;
  LoginSession& operator=(const LoginSession&) = delete;

  // The login dialog's button: false (after the alert "请输入用户名和密码") when either field is
  // empty, and the dialog stays open; true when the dialog may close and call Login.
  bool CheckLoginFields(std::string_view user_name, std::string_view password);

  // Sends the name and password as typed and shows the waiting dialog until the answer came or
  // the user closed it (which cancels the request).
  void Login(std::string_view user_name, std::string_view password);
  // At start-up: logs in with the current user's stored session key; nothing is sent when
  // there is none. No waiting dialog in mini mode.
  void AutoLoginWithKey();
  // After a hosted page logged the user in: the page's cookies identify the user.
  void AutoLoginFromPage();
  // Sends the logout request, then logs the user out of the store in one operation (session key,
  // current user, listeners, configuration keys), then refreshes the tree and clears the name.
  // Answers the logout request's transfer id (empty when nothing could be sent).
  std::string Logout();

  // The finish of a login-type request: `body` is the answer as it came (scrambled). For a
  // login the user started (Login, AutoLoginFromPage) a failed transfer shows kUnreachableText
  // and an answer that does not descramble kUnknownErrorText, once the waiting dialog closed;
  // the automatic log-in at start-up fails silently (starting offline is ordinary).
  void OnLoginAnswer(const std::string& request_id, bool succeeded, std::string body);

  // The pending login-type request's transfer id, empty when none.
  const std::string& pending_request() const { return pending_request_; }
  bool waiting_dialog_open() const { return open_dialog_ != 0; }
  // Whether an accepted answer is held while the outbox is sent before asking again.
  bool sending_outbox() const { return holding_; }

 private:
  // Cancels the pending request and closes an open waiting dialog (steps every login shares).
  void ResetPending();
  void CancelPending();
  void CloseWaitingDialog();
  // Sends the call and makes it the pending request; answers its id.
  std::string SendLoginCall(const ServiceCall& call, bool user_started);
  // For an accepted answer while the outbox holds requests of its user: holds the answer, sends
  // the outbox, then sends the login call again. False when nothing is pending.
  bool SendOutboxFirst(const std::string& body);
  // Shows the waiting dialog for the request (when show_dialog) and cancels the request if it
  // is still pending once the user closed the dialog.
  void WaitForAnswer(const std::string& request_id, bool show_dialog);
  bool HasCurrentUser() const;

  store::StoreRuntime& runtime_;
  JSRequestHandler& sender_;
  LoginWindow& window_;
  LoginWaitingDialog& waiting_dialog_;
  NormalCallback callback_;
  std::string pending_request_;
  // Whether the pending request is a login the user started (see OnLoginAnswer).
  bool pending_user_started_ = false;
  // The number of the waiting dialog that is open, 0 when none; numbers are never reused.
  int open_dialog_ = 0;
  int last_dialog_ = 0;
  // The login call on its way (sent again after the outbox) and its accepted first answer.
  ServiceCall pending_call_;
  std::string held_answer_;
  bool holding_ = false;   // the outbox is being sent for the held answer
  bool asked_again_ = false;  // the pending request is the call sent again
  // Counts login attempts, so that a callback of an attempt given up does nothing.
  int attempt_ = 0;
  loop::Subscription outbox_messages_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillo::service
