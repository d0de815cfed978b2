#pragma once
// Page 12 "试听设置": how many streamed songs the play cache keeps (1 … 200): minus 41 and plus 42
// step by 20, the slider 40 sets it where its thumb is let go; the count text follows.
#include "ui/dialogs/CountSlider.h"
#include "ui/dialogs/NewConfigPage.h"

namespace quillo::ui {

class NewConfigCachePage : public NewConfigPage {
 public:
  static constexpr int kSlider = 40;
  static constexpr int kMinus = 41;
  static constexpr int kPlus = 42;
  static constexpr CountSlider kCountSlider{252, 200};

  using NewConfigPage::NewConfigPage;
  int id() const override { return 12; }
  std::vector<int> AddControls() override;
  void Refresh() override;
  void Draw(gfx::Painter& painter) override;
  bool OnControl(int id) override;
  void OnSliderRelease(LayerControl& thumb) override;
};

}  // namespace quillo::ui
