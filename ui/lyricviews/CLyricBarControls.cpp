// The desktop lyric bar's toolbar: its controls, their actions and the player's notifications
// that change which of them are shown.
#include <algorithm>

#include "playback/PlaySurface.h"
#include "playback/Player.h"
#include "resources/skins/SkinLayout.h"
#include "store/DocumentStore.h"
#include "ui/lyricviews/CLyricBar.h"
#include "ui/lyricviews/LyricViewHost.h"

namespace quillo::ui {
namespace art = skin::lyricbar;

namespace {
constexpr int kSliderTrackOffset = 18;                               // from X1
constexpr int kSliderTrackWidth = 118;                               // X1 + 18 … X1 + 136
constexpr int kSliderTravel = kSliderTrackWidth - art::kThumbWidth;  // 108
constexpr int kSmallestChosen = 16;
constexpr int kLargestChosen = 40;
constexpr int kChosenSpan = kLargestChosen - kSmallestChosen;  // 24
}  // namespace

void CLyricBar::InitLayer() {
  const gfx::Size size = ClientSize();
  canvas_.Resize(size);
  faded_ = gfx::Surface();
  look_ = LyricBarLook::Read(parts_.store);
  has_shown_ = false;
  chosen_size_ = 0;
  const bool muted = parts_.store.GetConfigText("module.music.mute") == "true";
  const bool playing = parts_.player.IsActive() && !parts_.player.IsPaused();
  const bool active = parts_.player.IsActive();
  const int x0 = toolbar_left_ = (size.width - kToolbarWidth) / 2;
  const int x1 = toolbar_right();
  const int t = art::kTransport;
  AddButton(t, t, x0 + 7, 3, art::kPrevious.x, art::kPrevious.y, kPrevious, "播放上一首");
  AddButton(t, t, x0 + 30, 3, art::kPlay.x, art::kPlay.y, kPlay, "播放", playing);
  AddButton(t, t, x0 + 30, 3, art::kPause.x, art::kPause.y, kPause, "暂停", !playing);
  AddButton(t, t, x0 + 53, 3, art::kNext.x, art::kNext.y, kNext, "播放下一首");
  AddButton(t, t, x0 + 79, 3, art::kMute.x, art::kMute.y, kMute, "静音", muted);
  AddButton(t, t, x0 + 79, 3, art::kUnmute.x, art::kUnmute.y, kUnmute, "取消静音", !muted);
  for (int n = 0; n < kLyricBarSchemeCount; ++n) {
    const gfx::Point source = art::SchemeButton(n, false);
    AddButton(art::kScheme, art::kScheme, x0 + 106 + 20 * n, 4, source.x, source.y,
              kSchemeFirst + n, kLyricBarSchemes[n].tooltip);
  }
  const int kw = art::kKaraokeWidth, kh = art::kKaraokeHeight;
  AddButton(kw, kh, x0 + 212, 4, art::kKaraokeOn.x, art::kKaraokeOn.y, kKaraokeOn, "卡拉OK模式",
            look_.karaoke);
  AddButton(kw, kh, x0 + 212, 4, art::kKaraokeOff.x, art::kKaraokeOff.y, kKaraokeOff,
            "取消卡拉OK模式", !look_.karaoke);
  const int s = art::kSmallButton;
  AddButton(s, s, x0 + 252, 4, art::kAlignLeft.x, art::kAlignLeft.y, kAlignLeft, "文字居左");
  AddButton(s, s, x0 + 272, 4, art::kAlignCenter.x, art::kAlignCenter.y, kAlignCenter, "文字居中");
  AddButton(18, s, x0 + 300, 4, art::kSettings.x, art::kSettings.y, kSettings, "设置桌面歌词");
  AddButton(s, s, x0 + 321, 4, art::kLock.x, art::kLock.y, kLock, "锁定桌面歌词");
  AddButton(s, s, x0 + 341, 4, art::kSwitchMode.x, art::kSwitchMode.y, kSwitchMode,
            "切换到经典模式");
  const int rw = art::kReportWidth, rh = art::kReportHeight;
  AddButton(rw, rh, x0 + 364, 4, art::kReport.x, art::kReport.y, kReport, "歌词报错", !active);
  AddButton(rw, rh, x0 + 364, 4, art::kReportInactive.x, art::kReportInactive.y, kReportInactive,
            {}, active);
  AddButton(s, s, x0 + 397, 4, art::kClose.x, art::kClose.y, kClose, "关闭");
  const int f = art::kFontStep;
  AddButton(f, f, x1 + 9, 14, art::kSmaller.x, art::kSmaller.y, kSmaller, "小字体");
  const gfx::Rect track =
      gfx::Rect::FromXYWH(x1 + kSliderTrackOffset, 13, kSliderTrackWidth, art::kThumbHeight);
  AddSlider(art::kThumbWidth, art::kThumbHeight, track.left, 13, art::kThumb.x, art::kThumb.y,
            kSizeSlider, track, "拖动改变字体大小");
  AddButton(f, f, x1 + 138, 14, art::kLarger.x, art::kLarger.y, kLarger, "大字体");
  PlaceThumb(look_.font_size);
  MarkScheme();
  MarkAlignment();
  SetText(kAppText);
}

void CLyricBar::SetButtonImage(int id, gfx::Point origin) {
  LayerControl* c = FindControl(id);
  if (!c) return;
  const int w = c->bounds.width(), h = c->bounds.height();
  c->normal = gfx::Rect::FromXYWH(origin.x, origin.y, w, h);
  c->hover = gfx::Rect::FromXYWH(origin.x, origin.y + h, w, h);
  c->pressed_image = gfx::Rect::FromXYWH(origin.x, origin.y + 2 * h, w, h);
  RedrawControl(*c);
}

void CLyricBar::MarkScheme() {
  for (int n = 0; n < kLyricBarSchemeCount; ++n) {
    SetButtonImage(kSchemeFirst + n, art::SchemeButton(n, n == look_.scheme));
  }
}

void CLyricBar::MarkAlignment() {
  SetButtonImage(kAlignLeft, look_.align_left ? art::kAlignLeftSelected : art::kAlignLeft);
  SetButtonImage(kAlignCenter, look_.align_left ? art::kAlignCenter : art::kAlignCenterSelected);
}

void CLyricBar::PlaceThumb(int size) {
  LayerControl* thumb = FindControl(kSizeSlider);
  if (!thumb) return;
  const int offset =
      std::clamp((size - kSmallestChosen) * kSliderTravel / kChosenSpan, 0, kSliderTravel);
  MoveControl(kSizeSlider, thumb->track.left + offset, thumb->bounds.top);
}

void CLyricBar::StoreFontSize(int size) {
  parts_.store.SetConfigText(LyricBarLook::kFontSizeKey, std::to_string(size));
  look_.font_size = std::clamp(size, LyricBarLook::kMinFontSize, LyricBarLook::kMaxFontSize);
}

void CLyricBar::ApplyFontSize(int size) {
  chosen_size_ = 0;  // a slider choice from before must not come back on the next tick
  StoreFontSize(size);
  PlaceThumb(size);
  MeasureLine();
  RenderLine();
}

void CLyricBar::ReloadLook() {
  if (!IsCreated()) return;
  const LyricBarLook before = look_;
  look_ = LyricBarLook::Read(parts_.store);
  MarkScheme();
  MarkAlignment();
  SwapControls(look_.karaoke ? kKaraokeOn : kKaraokeOff, look_.karaoke ? kKaraokeOff : kKaraokeOn);
  // A new face is laid out again too, not only a new size.
  if (look_.font_size != line_.measured_for() || look_.wide_font != before.wide_font ||
      look_.narrow_font != before.narrow_font) {
    // The size now comes from the settings: an older slider choice must not undo it.
    chosen_size_ = 0;
    MeasureLine();
    PlaceThumb(look_.font_size);
  }
  RenderLine();
  if (!look_.karaoke) SetProgress(0, 0);
}

void CLyricBar::OnControlEvent(LayerControl* control, int code) {
  if (!control) return;
  LyricViewHost& host = parts_.host;
  store::DocumentStore& store = parts_.store;
  switch (code) {
    case kClose:
      host.CloseLyricViews();
      break;
    case kSwitchMode:
      store.SetConfigText("module.lyric.mode", "dialog");
      host.ShowLyricBar(false);
      host.ShowLyricWindow(true);
      break;
    case kPrevious:
      parts_.play.Previous();
      break;
    case kPlay:
      parts_.play.Play();
      break;
    case kPause:
      parts_.play.Pause();
      break;
    case kNext:
      parts_.play.Next();
      break;
    case kMute:
    case kUnmute:
      parts_.play.SetMuted(code == kMute);
      break;
    case kReport:
      host.OpenLyricErrorReport(*this);
      break;
    case kKaraokeOn:
    case kKaraokeOff:
      look_.karaoke = code == kKaraokeOn;
      store.SetConfigText(LyricBarLook::kKaraokeKey, look_.karaoke ? "true" : "false");
      SwapControls(look_.karaoke ? kKaraokeOn : kKaraokeOff,
                   look_.karaoke ? kKaraokeOff : kKaraokeOn);
      if (!look_.karaoke) SetProgress(0, 0);
      break;
    case kSettings:
      host.ShowSettingsPage(14);
      break;
    case kAlignLeft:
    case kAlignCenter:
      look_.align_left = code == kAlignLeft;
      store.SetConfigText(LyricBarLook::kAlignKey, look_.align_left ? "left" : "middle");
      MarkAlignment();
      PostReloadLook();
      break;
    case kLock:
      SetLocked(true);
      break;
    case kSmaller:
      if (line_.font_size() >= kSmallestChosen + 1) ApplyFontSize(kSmallestChosen);
      break;
    case kLarger:
      if (line_.font_size() <= kLargestChosen - 1) ApplyFontSize(kLargestChosen);
      break;
    default:
      if (code >= kSchemeFirst && code <= kSchemeLast && code - kSchemeFirst != look_.scheme) {
        store.SetConfigText(LyricBarLook::kColorKey, std::to_string(code - kSchemeFirst));
        PostReloadLook();
      }
      break;
  }
}

void CLyricBar::OnSliderRelease(LayerControl& control) {
  if (control.id != kSizeSlider) return;
  const int travel = control.track.width() - control.bounds.width();
  if (travel <= 0) return;
  chosen_size_ =
      (control.bounds.left - control.track.left) * kChosenSpan / travel + kSmallestChosen;
  StoreFontSize(chosen_size_);
  if (chosen_size_ != line_.measured_for()) {
    MeasureLine();
    RenderLine();
  }
}

void CLyricBar::SwapControls(int hide, int show) {
  // The pair shares its place: hiding puts the background back there, so it goes first.
  ShowControl(hide, false);
  ShowControl(show, true);
}

void CLyricBar::OnPlayerNotification(const playback::PlayerNotification& n) {
  using playback::PlayerState;
  if (!IsCreated()) return;
  if (const auto* mute = std::get_if<playback::MuteChanged>(&n)) {
    if (mute->muted) {
      SwapControls(kMute, kUnmute);
    } else {
      SwapControls(kUnmute, kMute);
    }
    return;
  }
  const auto* changed = std::get_if<playback::StateChanged>(&n);
  if (changed == nullptr) return;
  const PlayerState state = changed->state;
  // A song that ended or failed leaves the player idle, as a stop does.
  const bool idle = state == PlayerState::kStopped || state == PlayerState::kFinished ||
                    state == PlayerState::kFailed;
  if (state == PlayerState::kOpening || state == PlayerState::kResumed) {
    SwapControls(kPlay, kPause);
  } else if (idle || state == PlayerState::kPaused) {
    SwapControls(kPause, kPlay);
  }
  if (state == PlayerState::kOpening) {
    SwapControls(kReportInactive, kReport);
  } else if (idle) {
    SwapControls(kReport, kReportInactive);
  }
}

}  // namespace quillo::ui
