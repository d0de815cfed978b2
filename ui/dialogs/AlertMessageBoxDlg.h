#pragma once
// A notice with one button, "确定" (id 0). No answer.
#include "ui/dialogs/LayerMessageBoxDlg.h"

namespace quillo::ui {

class AlertMessageBoxDlg : public LayerMessageBoxDlg {
 public:
  using LayerMessageBoxDlg::LayerMessageBoxDlg;
  void InitLayer() override {
    LayerMessageBoxDlg::InitLayer();
    AddRightButton("确定", 0);
  }
};

}  // namespace quillo::ui
