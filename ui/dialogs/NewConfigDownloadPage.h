#pragma once
// Page 11 "下载设置": the music folder (shown read-only, changed with button 33 "更改目录") and the
// number of songs downloaded at once (1 … 20): minus 38 and plus 39 step by 2, the slider 37
// sets it where its thumb is let go, and the count edit takes a typed number when it loses the
// focus. The count text "N首" follows every change.
#include "ui/dialogs/CountSlider.h"
#include "ui/dialogs/NewConfigPage.h"

namespace quillo::ui {

class NewConfigDownloadPage : public NewConfigPage {
 public:
  static constexpr int kChangeFolder = 33;
  static constexpr int kSlider = 37;
  static constexpr int kMinus = 38;
  static constexpr int kPlus = 39;
  static constexpr gfx::Rect kFolderField{243, 91, 443, 108};
  static constexpr CountSlider kCountSlider{192, 20};

  using NewConfigPage::NewConfigPage;
  int id() const override { return 11; }
  std::vector<int> AddControls() override;
  void Refresh() override;
  void Draw(gfx::Painter& painter) override;
  bool OnControl(int id) override;
  void OnSliderRelease(LayerControl& thumb) override;
  void OnLeave() override;

 private:
  // The thumb, the edit and the count text follow the working count.
  void ShowCount();
};

}  // namespace quillo::ui
