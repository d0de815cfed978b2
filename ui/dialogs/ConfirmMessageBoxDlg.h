#pragma once
// A yes/no question: "是" (id 1) and "否" (id 2); the result is the button pressed.
#include "ui/dialogs/LayerMessageBoxDlg.h"

namespace quillo::ui {

class ConfirmMessageBoxDlg : public LayerMessageBoxDlg {
 public:
  static constexpr int kYes = 1;
  static constexpr int kNo = 2;
  using LayerMessageBoxDlg::LayerMessageBoxDlg;
  void InitLayer() override {
    LayerMessageBoxDlg::InitLayer();
    AddLeftButton("是", kYes);
    AddRightButton("否", kNo);
  }
  void OnControlEvent(LayerControl* control, int code) override {
    if (code == kYes || code == kNo) return Answer(code);
    LayerMessageBoxDlg::OnControlEvent(control, code);
  }
};

}  // namespace quillo::ui
