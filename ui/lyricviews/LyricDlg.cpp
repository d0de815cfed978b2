#include "ui/lyricviews/LyricDlg.h"

#include <algorithm>
#include <climits>

#include "lyrics/LyricAnalyzer.h"
#include "platform/gfx/TextMeasure.h"
#include "platform/window/WindowSystem.h"
#include "playback/PlaySurface.h"
#include "playback/Player.h"
#include "resources/skins/SkinLayout.h"
#include "store/DocumentStore.h"
#include "ui/lyricviews/LyricAreaPainter.h"
#include "ui/lyricviews/LyricViewHost.h"
#include "ui/toolkit/DesktopWorkArea.h"

namespace quillo::ui {
namespace l = skin::lyricdlg;

namespace {
// The distance of each title-bar button's left edge from the right edge, and its top.
struct ButtonPlace {
  int id;
  int from_right;
  int top;
};
constexpr ButtonPlace kButtonPlaces[] = {
    {LyricDlg::kOnTopButton, 81, 1},
    {LyricDlg::kNotOnTopButton, 81, 1},
    {LyricDlg::kToDesktopButton, 58, 1},
    {LyricDlg::kCloseButton, 33, 1},
};
}  // namespace

LyricDlg::LyricDlg(LyricViewParts parts) : LayerDlg(skin::kLyricWindow), parts_(parts) {
  // The lines scroll with the song on the layer timer's tick.
  SetLayerTicks(LayerTicks::kAlways);
  SetTitle(kTitle);
  SetHasCloseButton(false);  // button 4 closes
  SetResizable(true);
  SetMinimumSize(gfx::Size{kMinWidth, kMinHeight});
}

LyricDlg::~LyricDlg() {
  Shut();
}

// ---- Life --------------------------------------------------------------------------------------

gfx::Rect LyricDlg::InitialRect() const {
  const gfx::Rect work = DesktopWorkArea();
  WorkAreaGeometry desktop(work);
  if (std::optional<store::Rect> saved =
          parts_.store.RestoreWindowRect(kRectName, desktop, kMinWidth, kMinHeight)) {
    return gfx::Rect{saved->left, saved->top, saved->right, saved->bottom};
  }
  if (LayerWnd* main = parts_.host.MainWindow(); main && main->IsCreated()) {
    const gfx::Rect m = main->WindowRect();
    return gfx::Rect{m.left, m.bottom, m.right, m.bottom + kDefaultHeight};
  }
  // No main window to sit under: the middle of the work area.
  const int width = 400;
  return gfx::Rect::FromXYWH(work.left + (work.width() - width) / 2,
                             work.top + (work.height() - kDefaultHeight) / 2, width,
                             kDefaultHeight);
}

bool LyricDlg::Open() {
  if (IsCreated()) return true;
  look_ = LyricDlgLook::Read(parts_.store);
  layout_.Clear();
  shown_music_id_.clear();
  painted_status_.reset();
  current_index_ = 0;
  dragging_ = scrolling_ = wheel_scrolling_ = hint_shown_ = hint_done_ = false;
  move_grab_.reset();
  SetKeepAbove(on_top());
  LayerWnd* main = parts_.host.MainWindow();
  if (!Create(InitialRect(), main && main->IsCreated() ? main : nullptr)) return false;
  parts_.host.AttachWindow(*this);
  attached_ = true;
  parts_.player.AddListener(*this);
  listening_ = true;
  return true;
}

void LyricDlg::Shut() {
  if (listening_) {
    parts_.player.RemoveListener(*this);
    listening_ = false;
  }
  if (attached_) {
    parts_.host.DetachWindow(*this);
    attached_ = false;
  }
  if (!IsCreated()) return;
  const gfx::Rect r = WindowRect();
  parts_.store.SaveWindowRect(kRectName, store::Rect{r.left, r.top, r.right, r.bottom});
  Destroy();
}

void LyricDlg::ReloadLook() {
  look_ = LyricDlgLook::Read(parts_.store);
  layout_.Relayout(look_.line_height());
  Repaint();
}

bool LyricDlg::on_top() const {
  return parts_.store.ConfigEquals(kOnTopKey, "true");
}

void LyricDlg::InitLayer() {
  const int w = ClientSize().width;
  const bool top = on_top();
  AddTextButton(ReportButtonRect(w), "歌词报错", kReportButton, "歌词报错").hidden =
      !parts_.player.IsActive();
  AddButton(l::kButtonWidth, l::kButtonHeight, w - 81, 1, l::kOnTop.x, l::kOnTop.y, kOnTopButton,
            "总在最前", top);
  AddButton(l::kButtonWidth, l::kButtonHeight, w - 81, 1, l::kNotOnTop.x, l::kNotOnTop.y,
            kNotOnTopButton, "取消总在最前", !top);
  AddButton(l::kDesktopWidth, l::kButtonHeight, w - 58, 1, l::kToDesktop.x, l::kToDesktop.y,
            kToDesktopButton, "跳转到桌面歌词");
  AddButton(l::kButtonWidth, l::kButtonHeight, w - 33, 1, l::kClose.x, l::kClose.y, kCloseButton,
            "关闭窗口");
}

gfx::Rect LyricDlg::ReportButtonRect(int window_width) {
  // 39 pixels do not hold four characters of the button font: the button grows to the left,
  // its right edge staying 87 pixels from the window's.
  const int text_width = gfx::TextMeasure::Width("歌词报错", control_font());
  const int width = std::max(kReportButtonWidth, text_width + 10);
  const int right = window_width - kReportButtonRightGap;
  return gfx::Rect{right - width, 5, right, 5 + 21};
}

void LyricDlg::PlaceButtons(int width) {
  if (LayerControl* report = FindControl(kReportButton)) report->bounds = ReportButtonRect(width);
  for (const ButtonPlace& place : kButtonPlaces) {
    if (LayerControl* c = FindControl(place.id)) {
      c->bounds = gfx::Rect::FromXYWH(width - place.from_right, place.top, c->bounds.width(),
                                      c->bounds.height());
    }
  }
}

void LyricDlg::OnSize(gfx::Size size) {
  PlaceButtons(size.width);
  LayerDlg::OnSize(size);
}

void LyricDlg::MoveAttachedTo(gfx::Point top_left) {
  const gfx::Rect r = WindowRect();
  SetWindowRect(gfx::Rect::FromXYWH(top_left.x, top_left.y, r.width(), r.height()));
}

// ---- Painting ----------------------------------------------------------------------------------

gfx::Rect LyricDlg::LyricArea() const {
  const gfx::Size s = ClientSize();
  return gfx::Rect{kMarginLeft, kMarginTop, s.width - kMarginRight, s.height - kMarginBottom};
}

void LyricDlg::DrawBackground() {
  LayerDlg::DrawBackground();
  PaintArea();
}

void LyricDlg::Repaint() {
  if (back_buffer().IsNull()) return;
  PaintArea();
  SetNeedsUpdate();
}

void LyricDlg::PaintArea() {
  if (back_buffer().IsNull()) return;
  LyricAreaPainter::State state;
  state.area = LyricArea();
  state.status_text =
      LyricAreaPainter::StatusText(parts_.player.IsActive(), parts_.analyzer.GetState());
  state.current_index = current_index_;
  state.scrolling = scrolling_;
  state.top = scrolling_ ? scroll_top_ : layout_.CenteredTop(current_index_, state.area.height());
  state.show_hint = hint_shown_ && !hint_done_;
  gfx::Painter painter(back_buffer());
  const int marked = LyricAreaPainter::Paint(painter, state, look_, layout_);
  if ((dragging_ || wheel_scrolling_) && marked >= 0) current_index_ = marked;
  painted_status_ = state.status_text;
  ++paint_count_;
}

// ---- The tick ----------------------------------------------------------------------------------

void LyricDlg::UpdateIfDirty() {
  parts_.analyzer.FollowDuration();
  const lyrics::LyricDocument& document = parts_.analyzer.document();
  const bool active = parts_.player.IsActive();
  // What the area shows instead of lines follows the player and the lyric's state, whichever
  // of them changed first (a notification may arrive before the lyric is reset).
  if (LyricAreaPainter::StatusText(active, document.state) != painted_status_) Repaint();
  if (!active) {
    shown_music_id_.clear();
    LayerDlg::UpdateIfDirty();
    return;
  }
  if (document.state == lyrics::LyricDocument::kStateLoaded &&
      (document.music_id != shown_music_id_ || !layout_.SameTexts(document.timeline))) {
    // A new lyric, or the same song's lyric loaded again with other lines (a checked copy).
    layout_.Build(document.timeline, look_.line_height());
    shown_music_id_ = document.music_id;
    current_index_ = -1;
  } else if (document.music_id != shown_music_id_) {
    LayerDlg::UpdateIfDirty();
    return;
  }
  if (!dragging_ && !wheel_scrolling_) {
    const lyrics::LyricLine* line = parts_.analyzer.FindLine(parts_.player.GetPositionMs());
    const int index = line ? static_cast<int>(line->index) : 0;
    if (index != current_index_) {
      current_index_ = index;
      Repaint();
    }
  }
  LayerDlg::UpdateIfDirty();
}

void LyricDlg::OnWheelTimer() {
  wheel_timer_.Stop();
  scrolling_ = wheel_scrolling_ = false;
  Repaint();
}

void LyricDlg::OnHintTimer() {
  hint_timer_.Stop();
  hint_done_ = true;
  Repaint();
}

void LyricDlg::OnDestroy() {
  wheel_timer_.Stop();
  hint_timer_.Stop();
  LayerDlg::OnDestroy();
}

// ---- Mouse -------------------------------------------------------------------------------------

const lyrics::LyricLine* LyricDlg::MarkedTimelineLine() const {
  const lyrics::LyricDocument& document = parts_.analyzer.document();
  if (document.state != lyrics::LyricDocument::kStateLoaded || current_index_ < 0 ||
      static_cast<std::size_t>(current_index_) >= document.timeline.size()) {
    return nullptr;
  }
  return &document.timeline.lines()[static_cast<std::size_t>(current_index_)];
}

void LyricDlg::OnMouseMove(const window::MouseEvent& e) {
  LayerDlg::OnMouseMove(e);
  if (!IsCreated()) return;
  if (move_grab_) {
    if (!e.left_held) {
      move_grab_.reset();  // the release went elsewhere
    } else {
      const gfx::Rect r = WindowRect();
      const gfx::Rect proposed = gfx::Rect::FromXYWH(
          e.screen.x - move_grab_->x, e.screen.y - move_grab_->y, r.width(), r.height());
      const gfx::Rect snapped = parts_.host.OnAttachedMoving(*this, proposed);
      if (snapped != r) SetWindowRect(snapped);
    }
    return;
  }
  if (InsideArea(e.pos) && !hint_shown_) {
    hint_shown_ = true;
    Repaint();
    hint_timer_.Start(std::chrono::milliseconds(kHintTimerMs), [this] { OnHintTimer(); });
  }
  if (dragging_) {
    scroll_top_ = drag_anchor_ - e.pos.y;
    Repaint();
  }
}

void LyricDlg::OnLButtonDown(const window::MouseEvent& e) {
  const gfx::Size s = ClientSize();
  const bool in_grip = e.pos.x >= s.width - 13 && e.pos.y >= s.height - 13;
  if (!InsideArea(e.pos) && !in_grip && !ControlAt(e.pos) && IsDragArea(e.pos.x, e.pos.y)) {
    // The window moves with the pointer here rather than by the window manager, so that the
    // main window can snap it at every step.
    move_grab_ = e.pos;
    return;
  }
  LayerDlg::OnLButtonDown(e);
  if (!IsCreated() || !InsideArea(e.pos)) return;
  if (layout_.empty() || !layout_.IsValidIndex(current_index_)) return;
  // A drag takes over from a wheel re-timing that has not ended yet.
  wheel_timer_.Stop();
  wheel_scrolling_ = false;
  dragging_ = scrolling_ = true;
  scroll_top_ = layout_.CenteredTop(current_index_, LyricArea().height());
  drag_anchor_ = e.pos.y + scroll_top_;
  Repaint();
}

void LyricDlg::OnLButtonUp(const window::MouseEvent& e) {
  move_grab_.reset();
  LayerDlg::OnLButtonUp(e);
  if (!IsCreated() || !dragging_) return;
  dragging_ = scrolling_ = false;
  if (const lyrics::LyricLine* line = MarkedTimelineLine()) {
    // The song jumps to where the line in the middle is due; never before the start.
    const long long due =
        static_cast<long long>(parts_.analyzer.document().offset_ms) + line->start_ms;
    parts_.play.Seek(static_cast<int>(std::clamp<long long>(due, 0, INT_MAX)));
  }
  Repaint();
}

void LyricDlg::OnCaptureLost() {
  LayerDlg::OnCaptureLost();
  move_grab_.reset();
  if (!dragging_) return;
  dragging_ = scrolling_ = false;
  Repaint();
}

void LyricDlg::OnMouseWheel(const window::MouseEvent& e, int delta_steps) {
  if (!InsideArea(e.pos) || dragging_ || layout_.empty()) return;
  wheel_timer_.Stop();
  if (!wheel_scrolling_) {
    scrolling_ = wheel_scrolling_ = true;
    scroll_top_ = layout_.CenteredTop(current_index_, LyricArea().height());
  }
  // Steps count down the page; the wheel delta counts up it, 120 a notch.
  const int delta = -delta_steps * kWheelDelta;
  scroll_top_ -= delta / kWheelPixelDivisor;
  Repaint();  // marks the line now crossing the middle
  if (const lyrics::LyricLine* line = MarkedTimelineLine()) {
    // The offset that makes the middle line due one second ago.
    const long long offset =
        static_cast<long long>(parts_.player.GetPositionMs()) - line->start_ms - 1000;
    parts_.analyzer.AdjustTiming(static_cast<int>(std::clamp<long long>(offset, INT_MIN, INT_MAX)),
                                 lyrics::LyricDocument::kSetOffset, std::nullopt);
  }
  wheel_timer_.Start(std::chrono::milliseconds(kWheelTimerMs), [this] { OnWheelTimer(); });
}

bool LyricDlg::IsDragArea(int x, int y) {
  if (InsideArea(gfx::Point{x, y})) return false;
  parts_.host.NoteMoveStart(*this, gfx::Point{x, y});
  return true;
}

void LyricDlg::OnRButtonUp(const window::MouseEvent& e) {
  if (!presenter()) return;
  WindowRef self = Ref();
  presenter()->ShowMenu(BuildMenu(), e.pos, [this, self](int command) {
    if (self) OnMenuCommand(command);
  });
}

// ---- Buttons and notifications -----------------------------------------------------------------

void LyricDlg::SetOnTop(bool top) {
  parts_.store.SetConfigText(kOnTopKey, top ? "true" : "false");
  SetKeepAbove(top);
  ShowControl(kOnTopButton, !top);
  ShowControl(kNotOnTopButton, top);
}

void LyricDlg::SwitchToBar() {
  parts_.store.RemoveConfig(kModeKey);
  parts_.host.ShowLyricBar(true);
  parts_.host.ShowLyricWindow(false);
}

void LyricDlg::OnControlEvent(LayerControl* control, int code) {
  if (!control) return;
  switch (code) {
    case kReportButton:
      parts_.host.OpenLyricErrorReport(*this);
      return;
    case kOnTopButton:
      SetOnTop(true);
      return;
    case kNotOnTopButton:
      SetOnTop(false);
      return;
    case kToDesktopButton:
      SwitchToBar();
      return;
    case kCloseButton:
      parts_.host.CloseLyricViews();
      return;
    default:
      LayerDlg::OnControlEvent(control, code);
  }
}

void LyricDlg::OnClose() {
  // The host closes the views, remembers them closed and releases this window later.
  parts_.host.CloseLyricViews();
}

void LyricDlg::OnPlayerNotification(const playback::PlayerNotification& notification) {
  const auto* changed = std::get_if<playback::StateChanged>(&notification);
  if (!IsCreated() || changed == nullptr) return;
  if (changed->state == playback::PlayerState::kOpening) {
    ShowControl(kReportButton, true);
  } else if (changed->state == playback::PlayerState::kStopped ||
             changed->state == playback::PlayerState::kFinished ||
             changed->state == playback::PlayerState::kFailed) {
    // A song that ended or failed leaves nothing to report on.
    ShowControl(kReportButton, false);
    DrawAll();
  }
}

}  // namespace quillo::ui
