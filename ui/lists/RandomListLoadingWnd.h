#pragma once
// The list-loading bar below the song list: a 21-pixel strip 8 pixels in from the main
// window's sides, at the bottom of the song list, with one line of text and a close button.
// State 1 "歌曲加载中，请稍候...", 2 "歌曲列表已更新，请您欣赏^_^", 3
// "更新歌曲列表失败,请检查网络."; states 2 and 3 close the bar 1500 ms later (its own one-shot
// timer, 501 in the window's numbering); the close button closes it at once.
//
// Window thread. The main window owns the bar through its list views and calls FollowOwner
// whenever it moves or changes size, so the bar stays in place over it.
#include <string>

#include "platform/loop/Timer.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui::lists {

class RandomListLoadingWnd : public LayerWnd {
 public:
  static constexpr int kCloseDelayMs = 1500;
  static constexpr int kHeight = 21;
  static constexpr int kSideInset = 8;
  static constexpr int kCloseButtonId = 1;

  // `main_window` must outlive the bar. `list_bottom` is the song list's bottom edge in the main
  // window's client pixels.
  RandomListLoadingWnd(LayerWnd& main_window, int list_bottom);

  // Shows the bar in the state (1, 2 or 3; others are ignored), creating its window on first use.
  void ShowState(int state);
  // The state shown, or 0 when the bar is closed.
  int state() const { return state_; }
  static std::string StateText(int state);

  void SetListBottom(int list_bottom);
  // Moves the bar to its place over the main window (and hides it while the main window is
  // hidden).
  void FollowOwner();
  // The bar's screen rectangle for the main window's current place.
  gfx::Rect PlaceOverOwner() const;

  void InitLayer() override;
  void DrawBackground() override;
  // The close button is drawn as a dark "×" on the bar's light fill (the skin's close image is
  // made for dark title bands).
  void DrawControl(LayerControl& control) override;
  void OnControlEvent(LayerControl* control, int code) override;
  bool IsDragArea(int x, int y) override;
  void OnClose() override;
  void OnDestroy() override;

 private:
  void CloseBar();

  LayerWnd& main_window_;
  int list_bottom_;
  int state_ = 0;
  loop::Timer close_timer_;
};

}  // namespace quillo::ui::lists
