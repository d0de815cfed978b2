#pragma once
// The song tip: a small window without skin image (cream background, three lines: title,
// artist, album or "本地音乐") shown half a second after the mouse came to rest on a song. It
// never takes the focus, and closes when the mouse leaves it, when it is clicked, and on
// HideSongTip. The window it is shown for holds it (PopupOwner). Window thread.
#include <string>
#include <vector>

#include "platform/loop/Timer.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

class MusicTipDlg : public LayerWnd {
 public:
  static constexpr int kHeight = 62;
  static constexpr int kShowDelayMs = 500;
  // A press that moves this far starts a drag (and hides the tip).
  static constexpr int kDragThreshold = 6;

  MusicTipDlg();

  struct Texts {
    std::string title;
    std::string artist;
    std::string album;
    bool local = false;
  };
  void SetTexts(Texts texts) { texts_ = std::move(texts); }
  const Texts& texts() const { return texts_; }
  // (Re)starts the one-shot timer after which the tip shows (nothing before the window exists).
  void ArmShowTimer();
  bool show_timer_armed() const { return show_timer_.IsRunning(); }

  void DrawBackground() override;
  void OnMouseLeave() override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  bool IsDragArea(int x, int y) override;
  void OnDestroy() override;

  // The open tip, or null.
  static MusicTipDlg* Current();

 private:
  void OnShowTimer();

  Texts texts_;
  loop::Timer show_timer_;
};

// Shows (after the delay) the tip at the screen point with the given width.
void ShowSongTip(int x, int y, int width, const std::string& title, const std::string& artist,
                 const std::string& album, bool local, LayerWnd* owner);
void HideSongTip();

// Where the song list puts the tip for a row: right of the list (less its scroll bar), or left
// of it when that would pass the work area's right edge and the left side still fits.
gfx::Point SongTipPosition(const gfx::Rect& list_screen_rect, int scroll_bar_width,
                           int row_top_screen, int width, const gfx::Rect& work_area);
// The tip's width for the texts it shows: the widest value + 100.
int SongTipWidth(const std::vector<std::string>& values);

}  // namespace quillo::ui
