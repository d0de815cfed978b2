#include "ui/lyricviews/CLyricBar.h"

#include <algorithm>

#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricDocument.h"
#include "platform/gfx/GradientText.h"
#include "platform/gfx/Painter.h"
#include "platform/window/WindowSystem.h"
#include "playback/Player.h"
#include "resources/skins/SkinLayout.h"
#include "store/DocumentStore.h"
#include "store/WindowGeometry.h"
#include "ui/lyricviews/LyricViewHost.h"

namespace quillo::ui {
namespace art = skin::lyricbar;

namespace {
class ScreenGeometry : public store::WindowGeometry {
 public:
  explicit ScreenGeometry(gfx::Rect screen) : screen_(screen) {}
  int DesktopWidth() const override { return screen_.right; }
  int DesktopHeight() const override { return screen_.bottom; }

 private:
  gfx::Rect screen_;
};
}  // namespace

CLyricBar::CLyricBar(LyricViewParts parts) : LayerWnd(skin::kLyricBar, false), parts_(parts) {
  // The sung line, its karaoke sweep and the hover fade follow the layer timer's tick.
  SetLayerTicks(LayerTicks::kAlways);
}

CLyricBar::~CLyricBar() {
  Shut();
}

// ---- Lifetime ---------------------------------------------------------------------------------

bool CLyricBar::Open() {
  if (IsCreated()) return true;
  window::WindowSystem* system = window::WindowSystem::Instance();
  if (!system) return false;
  gfx::Rect screen = system->ScreenBounds();
  if (screen.IsEmpty()) screen = gfx::Rect{0, 0, 1024, 768};
  const int width = screen.width() * 9 / 10;
  gfx::Rect rect = gfx::Rect::FromXYWH(screen.left + (screen.width() - width) / 2,
                                       screen.bottom - kHeight - kBottomGap, width, kHeight);
  // The bar keeps its size (it follows the screen's); only its place is remembered.
  if (auto saved =
          parts_.store.RestoreWindowRect(kRectName, ScreenGeometry(screen), width, kHeight)) {
    rect = gfx::Rect::FromXYWH(std::clamp(saved->left, screen.left, screen.right - width),
                               std::clamp(saved->top, screen.top, screen.bottom - kHeight), width,
                               kHeight);
  }
  SetKeepAbove(true);
  // A strip over the desktop: clicking its buttons must not take the keyboard from the
  // window the user types in.
  SetAcceptFocus(false);
  SetShowCommand(ShowCommand::kShowNoActivate);
  SetNativeTitle(kAppText);
  if (!Create(rect, nullptr, window::WindowKind::kDialog)) {
    Destroy();
    return false;
  }
  if (locked_) SetInputTransparent(true);
  parts_.player.AddListener(*this);
  listening_ = true;
  return true;
}

void CLyricBar::Shut() {
  if (listening_) {
    parts_.player.RemoveListener(*this);
    listening_ = false;
  }
  if (!IsCreated()) return;
  const gfx::Rect r = WindowRect();
  parts_.store.SaveWindowRect(kRectName, store::Rect{r.left, r.top, r.right, r.bottom});
  Destroy();
  presented_ = nullptr;
  mouse_over_ = false;
  fade_ = 0;
}

void CLyricBar::OnClose() {
  parts_.host.CloseLyricViews();
}

void CLyricBar::PostReloadLook() {
  if (loop::LoopTarget* target = loop_target()) target->Post([this] { ReloadLook(); });
}

// ---- Drawing ----------------------------------------------------------------------------------

void CLyricBar::DrawBackground() {
  gfx::Surface& back = back_buffer();
  const gfx::Surface* image = skin();
  if (back.IsNull() || !image) return;
  const int w = back.width(), h = back.height();
  {
    gfx::Painter painter(back);
    painter.DrawImage(*image, art::kLeft, gfx::Rect{0, 0, art::kLeft.width(), h});
    painter.DrawImage(*image, art::kMiddle,
                      gfx::Rect{art::kLeft.width(), 0, w - art::kRight.width(), h});
    painter.DrawImage(*image, art::kRight, gfx::Rect{w - art::kRight.width(), 0, w, h});
    painter.DrawImage(*image, art::kToolbar, gfx::Point{toolbar_left_, 0});
    const int track_left = toolbar_right() + 18;
    painter.DrawImage(*image, art::kSliderTrack, gfx::Point{track_left, 18});
  }
  background_color_ = back.ColorAt(LyricBarCanvas::kTextLeft, LyricBarCanvas::kTextTop);
}

void CLyricBar::MirrorText(const gfx::Rect& r) {
  const gfx::Rect clipped = r.Intersect(canvas_.text_area());
  if (clipped.IsEmpty() || back_buffer().IsNull()) return;
  gfx::Painter painter(back_buffer());
  painter.FillRectSource(clipped, background_color_);
  painter.DrawImage(canvas_.composite(), clipped, clipped);
}

void CLyricBar::MeasureLine() {
  line_.Measure(meter_, look_.font_size, canvas_.text_area().width(), look_.wide_font,
                look_.narrow_font);
}

void CLyricBar::RenderLine() {
  canvas_.Render(line_, look_);
  if (TextMirrored()) MirrorText(canvas_.text_area());
  frame_dirty_ = true;
}

void CLyricBar::SetLineWords(const std::string& text, const std::vector<std::string_view>& words) {
  shown_text_ = text;
  has_shown_ = true;
  line_.SetWords(words);
  canvas_.ResetProgress();
  MeasureLine();
  RenderLine();
}

void CLyricBar::SetLine(const lyrics::LyricLine& line) {
  if (has_shown_ && line.text == shown_text_) return;
  std::vector<std::string_view> words;
  words.reserve(line.words.size());
  for (const lyrics::LyricWord& word : line.words) words.push_back(line.WordText(word));
  // A line without sung units still shows its text.
  if (words.empty() && !line.text.empty()) words.push_back(line.text);
  SetLineWords(line.text, words);
}

void CLyricBar::SetText(const std::string& text) {
  if (!has_shown_ || text != shown_text_ || line_.segments().size() != 1) {
    SetLineWords(text, {std::string_view(text)});
  }
  SetProgress(0, 0);
}

void CLyricBar::SetProgress(std::size_t word, int percent) {
  const std::optional<int> p = line_.ProgressFor(word, percent);
  if (!p) return;
  const std::optional<gfx::Rect> changed = canvas_.SetProgress(*p);
  if (!changed) return;
  if (TextMirrored()) MirrorText(*changed);
  // Only the strip changed: the window repaints just that much.
  damage_ = damage_ ? gfx::Rect{std::min(damage_->left, changed->left),
                                std::min(damage_->top, changed->top),
                                std::max(damage_->right, changed->right),
                                std::max(damage_->bottom, changed->bottom)}
                    : *changed;
}

// ---- Tick and presenting ----------------------------------------------------------------------

void CLyricBar::UpdateIfDirty() {
  if (!IsCreated()) return;
  bool changed = false;
  if (mouse_over_ && !mouse_captured()) {
    window::WindowSystem* system = window::WindowSystem::Instance();
    if (system && !WindowRect().Contains(system->CursorPosition())) {
      mouse_over_ = false;
      OnMouseLeave();
    } else {
      if (fade_ < kFadeSteps) {
        ++fade_;
        changed = true;
      }
      // Compared with the size the line was laid out for, not the size it shrank to: a long
      // line would otherwise be laid out again on every tick.
      if (chosen_size_ != 0 && chosen_size_ != line_.measured_for()) {
        StoreFontSize(chosen_size_);
        MeasureLine();
        RenderLine();
      }
    }
  }
  if (!mouse_over_ && fade_ > 0) {
    --fade_;
    changed = true;
  }
  if (changed) frame_dirty_ = true;
  FollowPlayer();
  if (frame_dirty_ || damage_ || needs_update()) UpdateLayer();
}

void CLyricBar::FollowPlayer() {
  playback::Player& player = parts_.player;
  if (!player.IsActive()) {
    SetText(kAppText);
    return;
  }
  const int state = parts_.analyzer.GetState();
  if (state == lyrics::LyricDocument::kStateDownloading) {
    SetText(kDownloadingText);
  } else if (state != lyrics::LyricDocument::kStateLoaded) {
    SetText(kNotFoundText);
  } else {
    const int position_ms = player.GetPositionMs();
    // The last line ends with the song, once the player knows how long that is.
    parts_.analyzer.FollowDuration();
    if (position_ms < 0) {
      SetText(kAppText);
    } else if (position_ms == 0) {
      const std::string title = player.GetTitle();
      SetText(title.empty() ? std::string(kAppText) : title);
    } else if (auto at = parts_.analyzer.LocateLine(position_ms, true)) {
      const auto& lines = parts_.analyzer.document().timeline.lines();
      if (at->line < lines.size()) {
        SetLine(lines[at->line]);
        if (look_.karaoke) SetProgress(at->word, at->percent);
      }
    }
  }
}

void CLyricBar::UpdateLayer() {
  window::WindowPresenter* presenter = this->presenter();
  if (!presenter || !presenter->IsVisible()) return;
  const bool with_background = fade_ > 0 || (!locked_ && (mouse_over_ || mouse_captured()));
  const gfx::Surface* frame = &canvas_.composite();
  if (with_background && fade_ >= kFadeSteps) {
    frame = &back_buffer();
  } else if (with_background) {
    if (faded_.size() != back_buffer().size())
      faded_ = gfx::Surface(back_buffer().width(), back_buffer().height());
    gfx::CopyFaded(faded_, back_buffer(), std::uint8_t(fade_ * 255 / kFadeSteps));
    const gfx::Rect area = canvas_.text_area();
    gfx::Painter(faded_).DrawImage(canvas_.composite(), area, area);
    frame = &faded_;
  }
  if (damage_ && !frame_dirty_ && !needs_update() && frame == presented_ && frame != &faded_) {
    presenter->PresentPart(*frame, constant_alpha(), *damage_);
  } else {
    presenter->Present(*frame, constant_alpha());
  }
  presented_ = frame;
  ++present_count_;
  frame_dirty_ = false;
  damage_.reset();
  ClearNeedsUpdate();
}

// ---- Pointer and lock -------------------------------------------------------------------------

void CLyricBar::OnMouseMove(const window::MouseEvent& e) {
  if (locked_) return;
  if (!mouse_over_) {
    if (!TextMirrored()) MirrorText(canvas_.text_area());
    mouse_over_ = true;
    frame_dirty_ = true;
  }
  LayerWnd::OnMouseMove(e);
}

void CLyricBar::ToggleBarLock() {
  SetLocked(!locked_);
}

void CLyricBar::SetLocked(bool locked) {
  locked_ = locked;
  SetInputTransparent(locked);
  if (locked && mouse_over_) {
    // The pointer still rests on the bar, but no longer counts: the background fades out now
    // rather than when the pointer happens to leave the bar's rectangle.
    mouse_over_ = false;
    OnMouseLeave();
  }
  frame_dirty_ = true;
  parts_.host.OnBarLockChanged(locked);
}

}  // namespace quillo::ui
