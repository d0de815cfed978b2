#pragma once
// Page 10 "常规设置": starting with the session (check box 18), what the close button does
// (radio buttons 20, 22, 24: "ask", "min", "close") and what happens when a song cannot be played
// (26 ask, 28 play the next one). Labels 19, 21, … act for the control before them.
#include "ui/dialogs/NewConfigPage.h"

namespace quillo::ui {

class NewConfigGeneralPage : public NewConfigPage {
 public:
  static constexpr int kAutorun = 18;
  static constexpr int kCloseAsk = 20;
  static constexpr int kCloseMinimize = 22;
  static constexpr int kCloseQuit = 24;
  static constexpr int kErrorAsk = 26;
  static constexpr int kErrorNext = 28;

  using NewConfigPage::NewConfigPage;
  int id() const override { return 10; }
  std::vector<int> AddControls() override;
  void Refresh() override;
  void Draw(gfx::Painter& painter) override;
  bool OnControl(int id) override;
};

}  // namespace quillo::ui
