#include "ui/main/MainLayout.h"

#include <algorithm>
#include <cmath>

#include "resources/skins/SkinLayout.h"
#include "ui/main/SpectrumDisplay.h"
#include "ui/main/MainIds.h"

namespace quillo::ui {

using namespace main_ids;
namespace m = skin::main;
using Entry = MainControlEntry;

namespace {

struct TooltipRow {
  int id;
  const char* normal;
  const char* mini;
};

constexpr TooltipRow kTooltips[] = {
    {kPrevious, "上一首", "播放上一首"},
    {kPlay, "播放", "播放"},
    {kPause, "暂停", "暂停"},
    {kNext, "下一首", "播放下一首"},
    {kMute, "静音", "静音"},
    {kUnmute, "取消静音", "取消静音"},
    {kMiniMinimize, "", "最小化"},
    {kNormalMode, "", "正常模式"},
    {kClose, "关闭", "关闭"},
    {kSettings, "这里更改Zelbo音乐设置", "更改Zelbo音乐设置"},
    {kMiniMode, "Mini模式", ""},
    {kMinimize, "最小化", ""},
    {kColor, "改变颜色", ""},
    {kMusicFolder, "打开歌曲文件夹", ""},
    {kLyricOpen, "打开歌词窗口", "打开歌词"},
    {kLyricClose, "关闭歌词窗口", "关闭歌词"},
    {kPanelOpen, "打开播放列表", ""},
    {kPanelClose, "关闭播放列表", ""},
    {kUnfold, "", "打开歌曲列表"},
    {kFold, "", "关闭歌曲列表"},
    {kVolumeOpen, "", "调节音量"},
    {kVolumeClose, "", "关闭调节音量"},
    {kLogin, "登录", ""},
    {kRegister, "注册", ""},
    {kLogout, "退出", ""},
    {kImport, "添加歌曲位置", ""},
    {kPlayMode, "播放模式", ""},
    {kSort, "排序", ""},
    {kAddTo, "添加到...", ""},
    {kNewBatch, "换一批听听", ""},
    {kPhoneFiles, "文件管理", ""},
};

}  // namespace

gfx::Point MainLayout::PlayModeImage(playback::PlayMode mode) {
  using playback::PlayMode;
  // A stored value none of the modes plays nothing after a song, as single-no-repeat does.
  const int index = mode == PlayMode::kSingleRepeat  ? 1
                    : mode == PlayMode::kAllNoRepeat ? 2
                    : mode == PlayMode::kAllRepeat   ? 3
                    : mode == PlayMode::kRandom      ? 4
                                                     : 0;
  return m::PlayModeImage(index);
}

namespace {

Entry Image(int id, gfx::Rect bounds, gfx::Point image, int image_size, bool mini, bool hidden) {
  Entry s;
  s.id = id;
  s.bounds = bounds;
  s.image = image;
  s.image_size = {image_size, image_size};
  s.tooltip = MainLayout::Tooltip(id, mini);
  s.hidden = hidden;
  return s;
}

Entry Caption(int id, gfx::Rect bounds, std::string caption, bool mini, bool hidden) {
  Entry s;
  s.id = id;
  s.kind = Entry::Kind::kCaption;
  s.bounds = bounds;
  s.caption = std::move(caption);
  s.tooltip = MainLayout::Tooltip(id, mini);
  s.hidden = hidden;
  return s;
}

Entry Slider(int id, gfx::Rect track, int offset, gfx::Point image) {
  Entry s;
  s.id = id;
  s.kind = Entry::Kind::kSlider;
  s.track = track;
  s.bounds = gfx::Rect::FromXYWH(track.left + offset, track.top, MainLayout::kThumbSize,
                                 MainLayout::kThumbSize);
  s.image = image;
  s.image_size = {MainLayout::kThumbSize, MainLayout::kThumbSize};
  return s;
}

gfx::Rect Box(int x, int y, int w, int h) {
  return gfx::Rect::FromXYWH(x, y, w, h);
}

}  // namespace

std::string MainLayout::Tooltip(int id, bool mini) {
  for (const TooltipRow& row : kTooltips)
    if (row.id == id) return mini ? row.mini : row.normal;
  return {};
}

gfx::Rect MainLayout::SearchBoxRect(gfx::Size size) {
  return Box(size.width - kSearchBoxSize.width - 10, 116, kSearchBoxSize.width,
             kSearchBoxSize.height);
}

gfx::Rect MainLayout::StatusRect(gfx::Size size, bool mini) {
  if (mini) return Box(118, 6, size.width - 118 - 218, 16);
  return Box(12, 32, size.width - 83, 18);
}

gfx::Rect MainLayout::TimeRect(gfx::Size size, bool mini) {
  if (mini) return Box(size.width - 210, 6, 66, 16);
  return Box(size.width - 70, 32, 60, 18);
}

gfx::Rect MainLayout::SpectrumRect(gfx::Size size) {
  return Box(size.width - 10 - SpectrumDisplay::kWidth, 78, SpectrumDisplay::kWidth, 14);
}

gfx::Rect MainLayout::ArtistPictureRect() {
  return Box(VolumeTrack().right + 4, 54, 24, 24);
}

gfx::Rect MainLayout::VolumeTrack() {
  return Box(146, 65, kVolumeTravel + kThumbSize, 10);
}

gfx::Rect MainLayout::SeekTrack(gfx::Size size) {
  return Box(12, 94, size.width - 24, 10);
}

gfx::Rect MainLayout::PanelRect(gfx::Size size, int panel_width, int phone_band) {
  const int bottom = phone_band > 0 ? std::min(510, size.height - 28 - phone_band) : 510;
  return gfx::Rect{1, 137, 1 + ClampPanelWidth(panel_width, size.width), bottom};
}

gfx::Rect MainLayout::SongListRect(gfx::Size size, int panel_width, bool mini, int phone_band) {
  if (mini) return gfx::Rect{7, 28, 390, 218};
  const gfx::Rect header = ListHeaderRect(size, panel_width);
  return gfx::Rect{header.left, header.bottom, header.right, size.height - 28 - phone_band};
}

int MainLayout::PhoneBand(bool connected, bool minimized) {
  if (!connected) return 0;
  return minimized ? 35 : 65;
}

gfx::Rect MainLayout::PhonePanelRect(gfx::Size size, int phone_band) {
  return gfx::Rect{1, size.height - 28 - phone_band, size.width - 1, size.height - 28};
}

gfx::Rect MainLayout::ListHeaderRect(gfx::Size size, int panel_width) {
  const int w = ClampPanelWidth(panel_width, size.width);
  return gfx::Rect{w + 8, 137, w + 8 + (size.width - w - 22) + 12, 137 + kListHeaderHeight};
}

int MainLayout::ClampPanelWidth(int width, int window_width) {
  return std::clamp(width, 0, std::max(0, window_width - 100));
}

bool MainLayout::IsSplitterBand(gfx::Point p, gfx::Size size, int panel_width) {
  const gfx::Rect panel = PanelRect(size, panel_width);
  const int edge = panel.right;
  if (p.x < edge - 3 || p.x >= edge + 3 || p.y < panel.top || p.y >= panel.bottom) return false;
  const int middle = (panel.top + panel.bottom) / 2;
  return p.y < middle - 14 || p.y > middle + 14;
}

bool MainLayout::IsDragArea(gfx::Point p, gfx::Size size, bool mini) {
  if (!mini) return p.y >= 6 && p.y <= 28 && p.x > 10 && p.x < size.width - 10;
  return !(p.y >= 27 && p.y <= 218 && p.x >= 7 && p.x < 390);
}

int MainLayout::ThumbOffsetForVolume(int volume, int travel_px) {
  return std::clamp(volume, 0, 100) * travel_px / 100;
}

int MainLayout::VolumeForThumbOffset(int offset_px, int travel_px) {
  if (travel_px <= 0) return 0;
  return std::clamp(int(std::lround(100.0 * offset_px / travel_px)), 0, 100);
}

int MainLayout::PositionForThumbOffset(int length_ms, int offset_px, int travel_px) {
  if (travel_px <= 0 || length_ms <= 0) return 0;
  return int(std::int64_t(length_ms) * std::clamp(offset_px, 0, travel_px) / travel_px);
}

int MainLayout::ThumbOffsetForPosition(int position_ms, int length_ms, int travel_px) {
  if (length_ms <= 0 || position_ms <= 0) return 0;
  return int(std::int64_t(std::min(position_ms, length_ms)) * travel_px / length_ms);
}

std::vector<MainControlEntry> MainLayout::Normal(const MainLayoutState& s) {
  const int w = s.size.width;
  const int tb = m::kTitleButton, tp = m::kTransportButton, sm = m::kSmallButton;
  std::vector<Entry> c;
  // Title band, right to left.
  c.push_back(Image(kClose, Box(w - 26, 4, tb, tb), m::kClose, tb, false, false));
  c.push_back(Image(kMinimize, Box(w - 48, 4, tb, tb), m::kMinimize, tb, false, false));
  c.push_back(Image(kMiniMode, Box(w - 70, 4, tb, tb), m::kMiniMode, tb, false, false));
  c.push_back(Image(kSettings, Box(w - 92, 4, tb, tb), m::kSettings, tb, false, false));
  c.push_back(Image(kColor, Box(w - 114, 4, tb, tb), m::kColor, tb, false, false));
  c.push_back(Image(kMusicFolder, Box(w - 136, 4, tb, tb), m::kFolder, tb, false, false));
  c.push_back(Image(kLyricOpen, Box(w - 158, 4, tb, tb), m::kLyricOpen, tb, false, s.lyric_open));
  c.push_back(
      Image(kLyricClose, Box(w - 158, 4, tb, tb), m::kLyricClose, tb, false, !s.lyric_open));
  // Player panel.
  c.push_back(Image(kPrevious, Box(12, 54, tp, tp), m::kPrevious, tp, false, false));
  c.push_back(Image(kPlay, Box(48, 54, tp, tp), m::kPlay, tp, false, s.playing));
  c.push_back(Image(kPause, Box(48, 54, tp, tp), m::kPause, tp, false, !s.playing));
  c.push_back(Image(kNext, Box(84, 54, tp, tp), m::kNext, tp, false, false));
  c.push_back(Image(kMute, Box(124, 62, sm, sm), m::kMute, sm, false, s.muted));
  c.push_back(Image(kUnmute, Box(124, 62, sm, sm), m::kUnmute, sm, false, !s.muted));
  c.push_back(Slider(kVolumeThumb, VolumeTrack(), ThumbOffsetForVolume(s.volume, kVolumeTravel),
                     m::kVolumeThumb));
  c.push_back(Slider(kSeekThumb, SeekTrack(s.size), 0, m::kSeekThumb));
  c.push_back(Caption(kLogin, Box(w - 74, 58, 30, 18), "登录", false, s.logged_in));
  c.push_back(Caption(kRegister, Box(w - 40, 58, 30, 18), "注册", false, s.logged_in));
  c.push_back(Caption(kLogout, Box(w - 40, 58, 30, 18), "退出", false, !s.logged_in));
  // Tool bar.
  c.push_back(Caption(kImport, Box(6, 115, 34, 18), "导入", false, false));
  {
    Entry mode = Image(kPlayMode, Box(42, 115, m::kPlayModeWidth, m::kPlayModeHeight),
                       PlayModeImage(s.play_mode), 0, false, false);
    mode.image_size = {m::kPlayModeWidth, m::kPlayModeHeight};
    c.push_back(mode);
  }
  c.push_back(Caption(kSort, Box(78, 115, 34, 18), "排序", false, false));
  c.push_back(Caption(kAddTo, Box(114, 115, 46, 18), "添加到", false, true));
  c.push_back(Caption(kNewBatch, Box(162, 115, 46, 18), "换一批", false, true));
  // The song list's header: the shown list's title and the arrow of its menu.
  {
    const gfx::Rect header = ListHeaderRect(s.size, s.panel_width);
    c.push_back(Caption(kListHeader1,
                        gfx::Rect{header.left + 2, header.top, header.right - 22, header.bottom},
                        "", false, false));
    c.push_back(
        Caption(kListHeader2, Box(header.right - 20, header.top + 1, 18, 18), "▼", false, true));
  }
  // Splitter buttons at the panel's right edge, in the middle of the list area.
  const int pw = ClampPanelWidth(s.panel_width, w);
  const int mid = (137 + 510) / 2 - tb / 2;
  c.push_back(Image(kPanelOpen, Box(pw + 1, mid, 8, tb), m::kListOpen, tb, false, pw != 0));
  c.push_back(Image(kPanelClose, Box(pw + 1, mid, 8, tb), m::kListClose, tb, false, pw == 0));
  // Scroll bars of the song list (35–37) and the playlist panel (38–40).
  const gfx::Rect list = SongListRect(s.size, s.panel_width, false, s.phone_band);
  c.push_back(
      Image(kSongScrollUp, Box(list.right - 12, list.top, 12, 12), m::kScrollUp, 12, false, false));
  c.push_back(Image(kSongScrollDown, Box(list.right - 12, list.bottom - 12, 12, 12), m::kScrollDown,
                    12, false, false));
  {
    Entry thumb = Slider(kSongScrollThumb,
                         gfx::Rect{list.right - 12, list.top + 12, list.right, list.bottom - 12}, 0,
                         m::kScrollThumb);
    thumb.bounds = Box(list.right - 12, list.top + 12, 12, 24);
    thumb.image_size = {12, 24};
    c.push_back(thumb);
  }
  // The playlist panel's scroll bar, inside its right edge while the panel is wide enough.
  const gfx::Rect panel = PanelRect(s.size, s.panel_width, s.phone_band);
  const bool panel_bar = HasPanelScrollBar(panel.width());
  c.push_back(Image(kPanelScrollUp, Box(panel.right - 12, panel.top, 12, 12), m::kScrollUp, 12,
                    false, !panel_bar));
  c.push_back(Image(kPanelScrollDown, Box(panel.right - 12, panel.bottom - 12, 12, 12),
                    m::kScrollDown, 12, false, !panel_bar));
  {
    Entry thumb =
        Slider(kPanelScrollThumb,
               gfx::Rect{panel.right - 12, panel.top + 12, panel.right, panel.bottom - 12}, 0,
               m::kScrollThumb);
    thumb.bounds = Box(panel.right - 12, panel.top + 12, 12, 24);
    thumb.image_size = {12, 24};
    thumb.hidden = !panel_bar;
    c.push_back(thumb);
  }
  // Bottom band: left panel pages, phone files, hosted page panel.
  const int band = s.size.height - 24;
  c.push_back(Caption(kPage0, Box(6, band, 40, 18), "列表", false, false));
  c.push_back(Caption(kPage2, Box(48, band, 40, 18), "电台", false, false));
  c.push_back(Caption(kPage3, Box(90, band, 40, 18), "排行", false, false));
  c.push_back(Caption(kPhoneFiles, Box(134, band, 56, 18), "文件管理", false, !s.phone_connected));
  // The phone panel's minimise (56, shown while it is expanded) and expand (57, while it is
  // minimised), there while a phone is connected. Without a phone panel in the program the one
  // of the remembered state stays in view, drawn disabled.
  const bool toggles = s.phone_connected || !s.phone_panel;
  c.push_back(
      Caption(kPanelToggle1, Box(192, band, 30, 18), "收起", false, !toggles || s.phone_minimized));
  c.push_back(Caption(kPanelToggle2, Box(192, band, 30, 18), "展开", false,
                      !toggles || !s.phone_minimized));
  c.push_back(Caption(kExtOpen, Box(w - 66, band, 58, 18), "打开网页", false, s.ext_open));
  c.push_back(Caption(kExtClose, Box(w - 66, band, 58, 18), "关闭网页", false, !s.ext_open));
  return c;
}

std::vector<MainControlEntry> MainLayout::Mini(const MainLayoutState& s) {
  const int w = kMiniWidth;
  const int tb = m::kTitleButton, sm = m::kSmallButton;
  std::vector<Entry> c;
  c.push_back(Image(kPrevious, Box(6, 3, 22, 22), m::kPrevious, m::kTransportButton, true, false));
  c.push_back(Image(kPlay, Box(30, 3, 22, 22), m::kPlay, m::kTransportButton, true, s.playing));
  c.push_back(Image(kPause, Box(30, 3, 22, 22), m::kPause, m::kTransportButton, true, !s.playing));
  c.push_back(Image(kNext, Box(54, 3, 22, 22), m::kNext, m::kTransportButton, true, false));
  c.push_back(Image(kMute, Box(80, 6, sm, sm), m::kMute, sm, true, s.muted));
  c.push_back(Image(kUnmute, Box(80, 6, sm, sm), m::kUnmute, sm, true, !s.muted));
  c.push_back(Image(kVolumeOpen, Box(98, 6, sm, sm), m::kVolumeOpen, sm, true, false));
  c.push_back(Image(kVolumeClose, Box(98, 6, sm, sm), m::kVolumeClose, sm, true, true));
  c.push_back(Image(kLyricOpen, Box(w - 142, 4, tb, tb), m::kLyricOpen, tb, true, s.lyric_open));
  c.push_back(Image(kLyricClose, Box(w - 142, 4, tb, tb), m::kLyricClose, tb, true, !s.lyric_open));
  c.push_back(Image(kUnfold, Box(w - 120, 4, tb, tb), m::kListOpen, tb, true, !s.list_folded));
  c.push_back(Image(kFold, Box(w - 120, 4, tb, tb), m::kListClose, tb, true, s.list_folded));
  c.push_back(Image(kSettings, Box(w - 98, 4, tb, tb), m::kSettings, tb, true, false));
  c.push_back(Image(kNormalMode, Box(w - 70, 4, tb, tb), m::kMiniMode, tb, true, false));
  c.push_back(Image(kMiniMinimize, Box(w - 48, 4, tb, tb), m::kMinimize, tb, true, false));
  c.push_back(Image(kClose, Box(w - 26, 4, tb, tb), m::kClose, tb, true, false));
  const gfx::Rect list = SongListRect(s.size, 0, true);
  c.push_back(
      Image(kSongScrollUp, Box(list.right - 12, list.top, 12, 12), m::kScrollUp, 12, true, false));
  c.push_back(Image(kSongScrollDown, Box(list.right - 12, list.bottom - 12, 12, 12), m::kScrollDown,
                    12, true, false));
  return c;
}

}  // namespace quillo::ui
