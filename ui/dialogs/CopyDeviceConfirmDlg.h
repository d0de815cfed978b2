#pragma once
// Asks whether to copy songs to the phone although some are not downloaded yet: a framed dialog
// (skin 173, 295 × 189) listing them, "确认" (0) answers true; "取消" (1), the close button or any
// other way of closing answers false. Window thread.
#include <string>
#include <vector>

#include "ui/dialogs/CopyDeviceConfirmList.h"
#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {

class CopyDeviceConfirmDlg : public LayerDlg {
 public:
  static constexpr const char* kTitle = "以下歌曲尚未下载，是否继续拷贝？";
  static constexpr int kWidth = 295;
  static constexpr int kHeight = 189;
  static constexpr int kConfirmId = 0;
  static constexpr int kCancelId = 1;
  static constexpr int kScrollUpId = 2;
  static constexpr int kScrollThumbId = 3;
  static constexpr int kScrollDownId = 4;
  static constexpr int kListId = 5;
  static constexpr gfx::Rect kListBounds{2, 28, 283, 146};

  explicit CopyDeviceConfirmDlg(std::vector<std::string> names);

  // Runs the dialog modally centred on the owner; true when the user confirms.
  static bool Run(LayerWnd* owner, std::vector<std::string> names);

  bool confirmed() const { return confirmed_; }
  CopyDeviceConfirmList& list() { return list_; }
  // Where the scroll thumb may move.
  static gfx::Rect ThumbTrack();

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnSliderMove(LayerControl& control) override;
  void OnSliderRelease(LayerControl& control) override;
  void OnMouseWheel(const window::MouseEvent& e, int delta_steps) override;

 private:
  void PlaceThumb();
  void ScrollListTo(int offset);

  CopyDeviceConfirmList list_;
  bool confirmed_ = false;
};

}  // namespace quillo::ui
