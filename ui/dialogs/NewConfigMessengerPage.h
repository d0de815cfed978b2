#pragma once
// Page 17 "MSN关联": whether the program publishes what it plays (check box 74, label 75) and
// what: the song's name (radio 76, label 77) or the current lyric line (78, label 79). On this
// desktop the text is published through the media-player service (MPRIS) as the now-playing
// text. The preview shows a picture for each of the three states.
#include "ui/dialogs/NewConfigPage.h"

namespace quillo::ui {

class NewConfigMessengerPage : public NewConfigPage {
 public:
  static constexpr int kSend = 74;
  static constexpr int kSendName = 76;
  static constexpr int kSendLyric = 78;
  static constexpr gfx::Point kPreviewOrigin{175, 200};

  using NewConfigPage::NewConfigPage;
  int id() const override { return 17; }
  std::vector<int> AddControls() override;
  void Refresh() override;
  void Draw(gfx::Painter& painter) override;
  bool OnControl(int id) override;
};

}  // namespace quillo::ui
