#pragma once
// The waiting dialog of a login (skin 183, 213 × 47, no controls): shown modally while a
// login-type request is out, closed by a posted close when the answer came, or by the user
// (Escape or the window's close), which the session takes as a cancel.
//
// Window thread.
#include <string>

#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {

class LoginLoadingDlg : public LayerDlg {
 public:
  static constexpr int kWidth = 213;
  static constexpr int kHeight = 47;
  static constexpr const char* kText = "正在登录，请稍候...";

  LoginLoadingDlg();
  ~LoginLoadingDlg() override;

  // Whether the posted close (not the user) ended the dialog.
  bool closed_by_answer() const { return closed_by_answer_; }
  // Posts the close the answer brings; the dialog goes when the loop handles it.
  void PostAnswerClose();

  void InitLayer() override;
  void DrawBackground() override;
  bool IsDragArea(int x, int y) override;

 private:
  bool closed_by_answer_ = false;
};

}  // namespace quillo::ui
