#include "ui/dialogs/AskOnExitDlg.h"

namespace quillo::ui {

AskOnExitDlg::AskOnExitDlg() : LayerMessageBoxDlg(kCaption, kMessage) {}

void AskOnExitDlg::Layout() {
  LayerMessageBoxDlg::Layout();
  set_height(height() + 40);
}

void AskOnExitDlg::InitLayer() {
  LayerMessageBoxDlg::InitLayer();
  int th = text_height();
  choice_ = Choice::kMinimize;
  remember_ = true;
  AddToggle(ControlKind::kRadio, gfx::Rect::FromXYWH(27, th + 48, 12, 12), kMinimizeRadio, true);
  AddLinkedLabel(gfx::Rect::FromXYWH(49, th + 48, 100, 15), "最小化到任务栏", 1, kMinimizeRadio);
  AddToggle(ControlKind::kRadio, gfx::Rect::FromXYWH(27, th + 68, 12, 12), kCloseRadio, false);
  AddLinkedLabel(gfx::Rect::FromXYWH(49, th + 68, 95, 15), "关闭Zelbo音乐", 3, kCloseRadio);
  AddToggle(ControlKind::kCheckBox, gfx::Rect::FromXYWH(27, th + 88, 12, 12), kRememberCheck, true);
  AddLinkedLabel(gfx::Rect::FromXYWH(49, th + 88, 150, 15), "记住我的选择, 不再询问", 5,
                 kRememberCheck);
  AddLeftButton("确定", kOk);
  AddRightButton("取消", kCancel);
}

void AskOnExitDlg::OnControlEvent(LayerControl* control, int code) {
  switch (code) {
    case kMinimizeRadio:  // not the base's "0 closes": here 0 is a radio button
      SetChecked(kMinimizeRadio, true);
      SetChecked(kCloseRadio, false);
      choice_ = Choice::kMinimize;
      return;
    case kCloseRadio:
      SetChecked(kCloseRadio, true);
      SetChecked(kMinimizeRadio, false);
      choice_ = Choice::kClose;
      return;
    case kRememberCheck:
      remember_ = !remember_;
      SetChecked(kRememberCheck, remember_);
      return;
    case kOk:
    case kCancel:
      return Answer(code);
    default:
      LayerMessageBoxDlg::OnControlEvent(control, code);
  }
}

}  // namespace quillo::ui
