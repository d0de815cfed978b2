#pragma once
// The desktop lyric bar: a borderless, always-on-top strip near the bottom of the screen that
// shows the current lyric line in large gradient letters with a shadow, coloured word by word as
// it is sung (karaoke mode). Its background and toolbar appear only while the pointer is over
// it; locked, the pointer passes through it.
//
// Window thread only. The owner (the main window's lyric views) makes it with the program's
// parts, calls Open to show it and Shut (or destroys it) to close it; everything in `parts`
// outlives the bar. The bar never destroys itself: its close button and the window manager's
// close ask the host to close the lyric views, and the host shuts the bar after the handler
// returns.
//
// Periodic work runs in UpdateIfDirty (the toolkit's timer 1000, every 40 ms): it follows the
// player's position through the lyric analyzer and presents a frame only when something shown
// changed (the line, the sung part, the fade, a control).
#include <optional>
#include <string>

#include "playback/PlayerNotification.h"
#include "ui/lyricviews/LyricBarCanvas.h"
#include "ui/lyricviews/LyricBarLine.h"
#include "ui/lyricviews/LyricBarLook.h"
#include "ui/lyricviews/LyricViewParts.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::lyrics {
struct LyricLine;
}

namespace quillo::ui {

class CLyricBar : public LayerWnd, public playback::PlayerListener {
 public:
  // Where the bar's position is kept between runs (the store's window rectangles).
  static constexpr const char* kRectName = "lyricbar";
  static constexpr int kHeight = 120;
  static constexpr int kBottomGap = 100;  // between the default place and the screen's bottom
  static constexpr int kToolbarWidth = 425;
  static constexpr int kFadeSteps = 5;

  static constexpr const char* kAppText = "Zelbo音乐";
  static constexpr const char* kDownloadingText = "正在下载歌词, 请稍候...";
  static constexpr const char* kNotFoundText = "对不起, 没有找到相应的歌词:(";

  // Control ids.
  enum ControlId {
    kClose = 0,
    kSwitchMode = 1,
    kPrevious = 2,
    kPlay = 3,
    kPause = 4,
    kNext = 5,
    kMute = 6,
    kUnmute = 7,
    kSchemeFirst = 8,
    kSchemeLast = 12,
    kReport = 13,
    kReportInactive = 14,
    kKaraokeOn = 15,
    kKaraokeOff = 16,
    kSettings = 17,
    kAlignLeft = 18,
    kAlignCenter = 19,
    kLock = 20,
    kSmaller = 21,
    kLarger = 22,
    kSizeSlider = 23,
  };

  explicit CLyricBar(LyricViewParts parts);
  ~CLyricBar() override;

  // Makes the bar (90 % of the screen wide, 120 high) at its saved place, or at the default
  // place centred 100 pixels above the screen's bottom, shows it without taking the focus and
  // listens to the player. True when it exists afterwards; false when no window can be made.
  bool Open();
  // Stops listening, saves the bar's place and destroys the window. Safe to call twice.
  void Shut();
  // Rereads the colour scheme, karaoke mode, alignment, fonts and size (the settings dialog's
  // reload message, also posted by the bar to itself after a colour or alignment change).
  void ReloadLook();
  // Locks (the pointer passes through the bar; no background or toolbar) or unlocks; reports
  // the new state to the host's OnBarLockChanged, as the lock button does.
  void ToggleBarLock();
  bool locked() const { return locked_; }

  // ---- State for tests ------------------------------------------------------------------
  const std::string& shown_text() const { return shown_text_; }
  int progress() const { return canvas_.progress(); }
  int font_size() const { return line_.font_size(); }
  int fade() const { return fade_; }
  bool mouse_over() const { return mouse_over_; }
  bool karaoke() const { return look_.karaoke; }
  const LyricBarLook& look() const { return look_; }
  const LyricBarLine& line() const { return line_; }
  const LyricBarCanvas& canvas() const { return canvas_; }
  // The frame last given to the window (composite, back buffer or faded mix); null before.
  const gfx::Surface* presented() const { return presented_; }
  int present_count() const { return present_count_; }
  // The toolbar's left and right edges (X0, X1).
  int toolbar_left() const { return toolbar_left_; }
  int toolbar_right() const { return toolbar_left_ + kToolbarWidth; }

  // ---- What the tick and the controls do (public for tests and the benchmark) --------------
  // Shows a lyric line: a new text is laid out and drawn unsung; the same text again is nothing.
  void SetLine(const lyrics::LyricLine& line);
  // Shows a text as one unit, unsung.
  void SetText(const std::string& text);
  // Moves the sung boundary to a word and a percentage of it; an index outside is ignored.
  void SetProgress(std::size_t word, int percent);

  // ---- LayerWnd ---------------------------------------------------------------------------
  void InitLayer() override;
  void DrawBackground() override;
  void UpdateIfDirty() override;
  void UpdateLayer() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnSliderRelease(LayerControl& control) override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnClose() override;

  // ---- playback::PlayerListener -------------------------------------------------------------
  void OnPlayerNotification(const playback::PlayerNotification& notification) override;

 private:
  void SetLineWords(const std::string& text, const std::vector<std::string_view>& words);
  void MeasureLine();
  void RenderLine();
  void FollowPlayer();
  // The back buffer's copy of the text (while the pointer is over the bar): the rectangle of
  // the text area filled with the background's colour, the composite drawn over it.
  void MirrorText(const gfx::Rect& r);
  // The back buffer's text is kept current while it may be seen: pointer over or fading.
  bool TextMirrored() const { return mouse_over_ || fade_ > 0; }
  void MarkScheme();
  void MarkAlignment();
  void SetButtonImage(int id, gfx::Point origin);
  void PlaceThumb(int size);
  void StoreFontSize(int size);
  void ApplyFontSize(int size);
  void SetLocked(bool locked);
  void SwapControls(int hide, int show);
  void PostReloadLook();

  LyricViewParts parts_;
  LyricBarLook look_;
  LyricBarLine line_;
  LyricBarCanvas canvas_;
  PangoTextMeter meter_;
  std::string shown_text_;
  bool has_shown_ = false;  // nothing shown yet: the first text is new whatever it is
  int chosen_size_ = 0;
  bool locked_ = false;
  bool mouse_over_ = false;
  int fade_ = 0;
  bool frame_dirty_ = false;         // the whole frame must be presented again
  std::optional<gfx::Rect> damage_;  // else only this part changed
  bool listening_ = false;
  int toolbar_left_ = 0;
  gfx::Color background_color_;
  gfx::Surface faded_;  // the frame while the background fades
  const gfx::Surface* presented_ = nullptr;
  int present_count_ = 0;
};

}  // namespace quillo::ui
