#pragma once
// Page 15 "歌词面板": the lyric window's colours (buttons 65 text, 66 current line, 67 background,
// each opening the colour popup for request 71, 72, 73), its font (drop-down 63, list 69) and
// point size (64, list 70), the preview, and "恢复默认" (68).
#include "ui/dialogs/NewConfigPage.h"

namespace quillo::ui {

class NewConfigLyricWindowPage : public NewConfigPage {
 public:
  static constexpr int kFont = 63;
  static constexpr int kSize = 64;
  static constexpr int kTextColor = 65;
  static constexpr int kCurrentColor = 66;
  static constexpr int kBackgroundColor = 67;
  static constexpr int kDefaults = 68;
  static constexpr int kFontList = 69;
  static constexpr int kSizeList = 70;
  static constexpr int kTextRequest = 71;
  static constexpr int kCurrentRequest = 72;
  static constexpr int kBackgroundRequest = 73;
  static constexpr gfx::Rect kPreview{175, 184, 175 + 338, 184 + 180};

  using NewConfigPage::NewConfigPage;
  int id() const override { return 15; }
  std::vector<int> AddControls() override;
  void Refresh() override;
  void Draw(gfx::Painter& painter) override;
  bool DrawControl(gfx::Painter& painter, const LayerControl& control) override;
  bool OnControl(int id) override;
  void OnPopupChosen(int popup_id, int index) override;
  void OnColorPicked(int request_id, gfx::Color color) override;
};

}  // namespace quillo::ui
