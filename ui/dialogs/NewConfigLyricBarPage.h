#pragma once
// Page 14 "桌面歌词": the desktop lyric bar's fonts (drop-downs 47 Chinese, 46 Latin), size (49),
// alignment (50) and karaoke mode (check box 52); its colour scheme (swatches 58 … 62, the
// selected one framed); the preview; and "恢复默认" (51). The lists are popups 53, 54, 55, 57.
#include "ui/dialogs/NewConfigPage.h"

namespace quillo::ui {

class NewConfigLyricBarPage : public NewConfigPage {
 public:
  static constexpr int kLatinFont = 46;
  static constexpr int kChineseFont = 47;
  static constexpr int kSize = 49;
  static constexpr int kAlign = 50;
  static constexpr int kDefaults = 51;
  static constexpr int kKaraoke = 52;
  static constexpr int kKaraokeLabel = 152;
  static constexpr int kFirstScheme = 58;
  static constexpr int kLatinFontList = 53;
  static constexpr int kChineseFontList = 54;
  static constexpr int kSizeList = 55;
  static constexpr int kAlignList = 57;
  static constexpr gfx::Rect kPreview{175, 296, 175 + 338, 296 + 68};

  using NewConfigPage::NewConfigPage;
  int id() const override { return 14; }
  std::vector<int> AddControls() override;
  void Refresh() override;
  void Draw(gfx::Painter& painter) override;
  bool DrawControl(gfx::Painter& painter, const LayerControl& control) override;
  bool OnControl(int id) override;
  void OnPopupChosen(int popup_id, int index) override;
};

}  // namespace quillo::ui
