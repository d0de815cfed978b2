#pragma once
// The lyric window ("经典歌词模式"): a framed, resizable skinned window that lists every line of
// the lyric and marks the line being sung. Dragging the lines seeks the song to the line left in
// the middle; the wheel re-times the lyric so that the line crossing the middle became due one
// second ago; the context menu "歌词" re-times, copies or replaces the lyric.
//
// Window thread only. The owner (the main window's lyric views) keeps it; Open makes the native
// window, attaches it to the main window and listens to the player; Shut undoes that and saves
// the rectangle ("lyricdlg"). Its close button, the window manager's close and the switch button
// go through the host, which releases the window only after the handler returned.
#include <optional>
#include <string>
#include <vector>

#include "platform/loop/Timer.h"
#include "platform/window/MenuItem.h"
#include "playback/PlayerNotification.h"
#include "ui/lyricviews/LyricDlgLook.h"
#include "ui/lyricviews/LyricLineLayout.h"
#include "ui/lyricviews/LyricViewParts.h"
#include "ui/main/AttachedWindows.h"
#include "ui/toolkit/LayerDlg.h"

namespace quillo::lyrics {
struct LyricLine;
}

namespace quillo::ui {

class LyricDlg : public LayerDlg, public playback::PlayerListener, public AttachableWindow {
 public:
  static constexpr const char* kTitle = "经典歌词模式";
  static constexpr const char* kRectName = "lyricdlg";
  static constexpr const char* kOnTopKey = "module.lyricdlg.ontop";
  static constexpr const char* kModeKey = "module.lyric.mode";
  static constexpr int kMinWidth = 300;
  static constexpr int kMinHeight = 100;
  static constexpr int kDefaultHeight = 100;
  // The settings dialog's page of this window.
  static constexpr int kSettingsPage = 15;

  // Title-bar buttons.
  static constexpr int kReportButton = 0;     // "歌词报错", while the player is active
  static constexpr int kOnTopButton = 1;      // "总在最前", while not on top
  static constexpr int kNotOnTopButton = 2;   // "取消总在最前", while on top
  static constexpr int kToDesktopButton = 3;  // "跳转到桌面歌词"
  static constexpr int kCloseButton = 4;      // "关闭窗口"
  static constexpr int kReportButtonWidth = 39;
  static constexpr int kReportButtonRightGap = 126 - 39;

  // Timers (111 and 112 in the window's numbering): the end of a wheel re-timing, the end of
  // the scroll hint. Both are one-shot.
  static constexpr int kWheelTimerMs = 500;
  static constexpr int kHintTimerMs = 3000;
  // A wheel notch is 120; the view moves delta / 40 pixels.
  static constexpr int kWheelDelta = 120;
  static constexpr int kWheelPixelDivisor = 40;

  // Commands of the context menu "歌词".
  enum MenuCommand {
    kAdjustAll = 1,  // "全部调整..."
    kLineEarlier,    // "本句提前0.5秒"
    kLineLater,      // "本句延后0.5秒"
    kFollowingEarlier,
    kFollowingLater,
    kAllEarlier,
    kAllLater,
    kCopyLyric,       // "复制歌词"
    kAssociateLyric,  // "关联歌词..."
    kLookSettings,    // "设置字体和颜色"
    kOnTopItem,       // "总在最前"
    kAdminEdit,       // "后台编辑歌词", with "sorvel.debug" = "debug"
    kUpload,          // "上传歌曲或歌词..."
  };
  static constexpr const char* kAdjustAllQuestion =
      "请输入要调整歌词的偏移时间(单位毫秒,负数表示提前，正数表示延后)";
  static constexpr int kHalfSecondMs = 500;

  explicit LyricDlg(LyricViewParts parts);
  ~LyricDlg() override;

  // Makes the window (saved rectangle, else below the main window), shows it, attaches it to
  // the main window and listens to the player. True when it is open.
  bool Open();
  // Stops listening, detaches, saves the rectangle and destroys the window. Safe to repeat.
  void Shut();
  // Rereads the colours, font and size, lays the lines out again and repaints.
  void ReloadLook();

  // ---- The window's operations ------------------------------------------------------------
  void InitLayer() override;
  void DrawBackground() override;
  // The tick (timer 1000): follows the song and presents what changed.
  void UpdateIfDirty() override;
  // Stops the wheel and hint timers: nothing ticks on a destroyed window.
  void OnDestroy() override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  void OnLButtonUp(const window::MouseEvent& e) override;
  void OnCaptureLost() override;
  void OnMouseWheel(const window::MouseEvent& e, int delta_steps) override;
  void OnRButtonUp(const window::MouseEvent& e) override;
  void OnSize(gfx::Size size) override;
  void OnClose() override;
  void OnControlEvent(LayerControl* control, int code) override;
  // False inside the lyric area; elsewhere the main window is told that a move may start.
  bool IsDragArea(int x, int y) override;

  // playback::PlayerListener
  void OnPlayerNotification(const playback::PlayerNotification& notification) override;
  // AttachableWindow
  gfx::Rect AttachedRect() const override { return WindowRect(); }
  void MoveAttachedTo(gfx::Point top_left) override;

  // ---- The context menu ---------------------------------------------------------------------
  std::vector<window::MenuItem> BuildMenu() const;
  void OnMenuCommand(int command);
  // How a lyric file chosen for "关联歌词..." is stored in the song's `lyric_file`: relative to
  // the lyric folder (ending in '/') when it lies inside it, otherwise "file://" + its path.
  static std::string StoredLyricPath(const std::string& path, const std::string& lyric_folder);

  // ---- State, for the owner and tests ---------------------------------------------------------
  // The window less the dialog margins.
  gfx::Rect LyricArea() const;
  int current_index() const { return current_index_; }
  const std::string& shown_music_id() const { return shown_music_id_; }
  const LyricLineLayout& layout() const { return layout_; }
  const LyricDlgLook& look() const { return look_; }
  bool dragging() const { return dragging_; }
  bool scrolling() const { return scrolling_; }
  bool wheel_scrolling() const { return wheel_scrolling_; }
  int scroll_top() const { return scroll_top_; }
  bool hint_shown() const { return hint_shown_; }
  bool hint_done() const { return hint_done_; }
  bool wheel_timer_running() const { return wheel_timer_.IsRunning(); }
  bool hint_timer_running() const { return hint_timer_.IsRunning(); }
  // The timers' ends, public so that tests can step them: the wheel re-timing is over (the
  // song's line takes the mark again); the hint is hidden for good.
  void OnWheelTimer();
  void OnHintTimer();
  bool on_top() const;
  // The status text painted instead of the lines, or none.
  const std::optional<std::string>& painted_status() const { return painted_status_; }
  // How often the lyric area was painted (the tick paints only what changed).
  int paint_count() const { return paint_count_; }

 private:
  bool InsideArea(gfx::Point p) const { return LyricArea().Contains(p); }
  // Paints the lyric area into the back buffer; the next tick presents it.
  void Repaint();
  void PaintArea();
  void SetOnTop(bool on_top);
  void PlaceButtons(int width);
  gfx::Rect ReportButtonRect(int window_width);
  void SwitchToBar();
  void AdjustBy(int delta_ms, int kind, bool needs_line);
  void AdjustAll();
  void CopyLyric();
  void AssociateLyric();
  void OpenAdminPage();
  // The line of the timeline at the marked index, when the lyric is loaded.
  const lyrics::LyricLine* MarkedTimelineLine() const;
  gfx::Rect InitialRect() const;

  LyricViewParts parts_;
  LyricDlgLook look_;
  LyricLineLayout layout_;
  std::string shown_music_id_;
  std::optional<std::string> painted_status_;
  int current_index_ = 0;
  bool dragging_ = false;
  bool scrolling_ = false;
  bool wheel_scrolling_ = false;
  int scroll_top_ = 0;
  int drag_anchor_ = 0;
  bool hint_shown_ = false;
  bool hint_done_ = false;
  // Moving the window by its frame: where the pointer holds it, in window pixels.
  std::optional<gfx::Point> move_grab_;
  bool listening_ = false;
  bool attached_ = false;
  int paint_count_ = 0;
  loop::Timer wheel_timer_;
  loop::Timer hint_timer_;
};

}  // namespace quillo::ui
