#pragma once
// The main window's close question: minimise to the tray or quit, and whether to remember it.
// Radio 0 / label 1 "最小化到任务栏", radio 2 / label 3 "关闭Zelbo音乐", check box 4 / label 5
// "记住我的选择, 不再询问", "确定" (6) and "取消" (7).
#include "ui/dialogs/LayerMessageBoxDlg.h"

namespace quillo::ui {

class AskOnExitDlg : public LayerMessageBoxDlg {
 public:
  static constexpr const char* kMessage = "您点击了关闭按钮，您希望";
  static constexpr int kMinimizeRadio = 0;
  static constexpr int kCloseRadio = 2;
  static constexpr int kRememberCheck = 4;
  static constexpr int kOk = 6;
  static constexpr int kCancel = 7;
  enum class Choice { kMinimize, kClose };

  AskOnExitDlg();

  void Layout() override;
  void InitLayer() override;
  void OnControlEvent(LayerControl* control, int code) override;

  Choice choice() const { return choice_; }
  bool remember() const { return remember_; }

 private:
  Choice choice_ = Choice::kMinimize;
  bool remember_ = true;
};

}  // namespace quillo::ui
