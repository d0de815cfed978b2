#pragma once
// The waiting dialog shown while a login-type request is out. The session numbers each dialog
// it shows, so that a close always reaches the dialog it was meant for, even when a second login
// opens a new dialog inside the first one's modal run.
//
// Window thread.

namespace quillo::service {

class LoginWaitingDialog {
 public:
  virtual ~LoginWaitingDialog() = default;

  // Shows dialog number `dialog` modally and returns once it has closed, by a posted close or by
  // the user. Answers false at once when no dialog can be shown (no visible window): the session
  // then waits for the answer without one and never takes the return for a user's cancel.
  virtual bool ShowWaitingDialog(int dialog) = 0;
  // Posts dialog `dialog` a close message; it closes when the loop handles it. Only called for
  // a dialog whose ShowWaitingDialog has not returned yet.
  virtual void PostCloseWaitingDialog(int dialog) = 0;
};

}  // namespace quillo::service
