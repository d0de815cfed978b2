#pragma once
// The login dialog "用户登录" (skin 182, 316 × 208): a user-name field (2) with the account button
// "选择帐号" (4) beside it, a password field (3) that echoes every character as '●', the links
// "申请帐号" (7) and "忘记密码" (8), and the buttons "登录" (0) and "取消" (1). Enter in either
// field is the login button. Choosing entry n of the account list (notification 5 with n) puts
// that name into the user-name field; an index outside the list is ignored.
//
// The dialog only collects what the user asked for; whoever ran it acts on outcome() once the
// modal run returned (LoginDialogs calls the session's Login, or opens the register page).
//
// Window thread.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/LayerEdit.h"

namespace quillo::ui {

class LayerListPopup;

class LoginDlg : public LayerDlg {
 public:
  static constexpr int kWidth = 316;
  static constexpr int kHeight = 208;
  static constexpr int kLoginId = 0;
  static constexpr int kCancelId = 1;
  static constexpr int kUserNameId = 2;
  static constexpr int kPasswordId = 3;
  static constexpr int kAccountButtonId = 4;
  static constexpr int kAccountChosenCode = 5;
  static constexpr int kRegisterId = 7;
  static constexpr int kForgotPasswordId = 8;
  static constexpr char32_t kPasswordEcho = U'\u25CF';

  enum class Outcome { kCancelled, kLogin, kRegister };

  struct Hooks {
    // The login button's check (the session's CheckLoginFields): false keeps the dialog open
    // (it has shown its alert). Unset: both fields must be non-empty, without an alert.
    std::function<bool(const std::string& user_name, const std::string& password)> check_fields;
    // "忘记密码": opens the password page in the default browser; the dialog stays open.
    std::function<void()> forgot_password;
  };

  // `accounts`: the user names of the store's known users, in the list's order.
  LoginDlg(std::vector<std::string> accounts, Hooks hooks);
  ~LoginDlg() override;

  // What the user chose; the fields as typed when kLogin.
  Outcome outcome() const { return outcome_; }
  const std::string& user_name() const { return user_name_; }
  const std::string& password() const { return password_; }

  // Opens the account list under the name field (command 4); nothing without accounts.
  void OpenAccountList();
  // The account list's answer (notification 5): entry `index` into the user-name field.
  void ChooseAccount(int index);
  // The login button (command 0), as a click or Enter runs it.
  void PressLogin();
  const std::vector<std::string>& accounts() const { return accounts_; }
  LayerEdit& user_name_edit() { return user_name_edit_; }
  LayerEdit& password_edit() { return password_edit_; }

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnDestroy() override;

 private:
  std::vector<std::string> accounts_;
  Hooks hooks_;
  Outcome outcome_ = Outcome::kCancelled;
  std::string user_name_;
  std::string password_;
  LayerEdit user_name_edit_;
  LayerEdit password_edit_;
  std::unique_ptr<LayerListPopup> account_popup_;
};

}  // namespace quillo::ui
