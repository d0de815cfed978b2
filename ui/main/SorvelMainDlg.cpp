#include "ui/main/SorvelMainDlg.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/TextMeasure.h"
#include "platform/window/WindowSystem.h"
#include "playback/PlayQueueViews.h"
#include "playback/PlaySurface.h"
#include "playback/Player.h"
#include "resources/skins/SkinLayout.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "ui/dialogs/AskOnExitDlg.h"
#include "ui/dialogs/ColorPicker.h"
#include "ui/lists/FileListView.h"
#include "service/session/LoginViews.h"
#include "ui/lists/PlaylistView.h"
#include "ui/main/DownloadedArtistPictures.h"
#include "ui/main/MainIds.h"
#include "ui/main/MainListPanels.h"
#include "ui/main/SeamSongList.h"
#include "ui/toolkit/DesktopWorkArea.h"
#include "ui/toolkit/RunModal.h"
#include "playback/SpectrumAnalyzer.h"
#include "ui/toolkit/SkinManager.h"

namespace quillo::ui {

using namespace main_ids;
namespace m = skin::main;
namespace keys = main_keys;

namespace {

std::string TimeText(int seconds) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d", std::max(0, seconds) / 60,
                std::max(0, seconds) % 60);
  return buffer;
}

}  // namespace

SorvelMainDlg::SorvelMainDlg(MainWindowParts parts)
    : LayerWnd(SkinManager::Instance().style_image()),
      parts_(std::move(parts)),
      close_(CloseProcedure::Hooks{
          [this] { return ConfigText(keys::kMinimalType); },
          [this](const std::string& value) { SetConfigText(keys::kMinimalType, value); },
          [this]() -> std::optional<CloseProcedure::Answer> {
            AskOnExitDlg question;
            question.Layout();
            if (!RunModal(question, CenteredOn(WindowRect(), question.size()), this)) return {};
            if (question.result() != AskOnExitDlg::kOk) return {};
            return CloseProcedure::Answer{question.choice() == AskOnExitDlg::Choice::kClose
                                              ? CloseProcedure::Choice::kClose
                                              : CloseProcedure::Choice::kMinimize,
                                          question.remember()};
          },
          [this] { Minimize(); }, [this] { ShutDown(); }}) {
  mini_ = ConfigText(keys::kMode) == "mini";
  phone_minimized_ = ConfigText(keys::kDeviceMinimized) == "true";
  SetNativeTitle("Zelbo音乐");
  if (parts_.downloads) {
    picture_source_ = std::make_unique<DownloadedArtistPictures>(*parts_.downloads, parts_.runtime);
    artist_picture_.SetSource(picture_source_.get());
  }
  if (parts_.queue_views) play_view_registration_ = parts_.queue_views->Add(play_view_);
  if (parts_.play) play_mode_registration_ = parts_.play->AddModeListener(play_mode_button_);
  if (parts_.login_views) login_view_registration_ = parts_.login_views->AddWindow(login_view_);
}

SorvelMainDlg::~SorvelMainDlg() {
  ColorPicker::SetStyleHandler(nullptr);
  // Nothing may reach the roles' window while it is being torn down.
  play_view_registration_.Reset();
  play_mode_registration_.Reset();
  login_view_registration_.Reset();
}

std::string SorvelMainDlg::ConfigText(const char* key, const std::string& fallback) const {
  return parts_.runtime.store().GetConfigText(key, fallback);
}

void SorvelMainDlg::SetConfigText(const char* key, const std::string& value) {
  parts_.runtime.store().SetConfigText(key, value);
}

gfx::Rect SorvelMainDlg::DefaultNormalRect() const {
  const gfx::Rect area = DesktopWorkArea();
  const gfx::Size size = MainLayout::kNormalMinimum;
  const int x = std::max(0, (area.width() - size.width - MainLayout::kHostedPanelWidth) / 2);
  const int y = std::max(0, (area.height() - size.height) / 2);
  return gfx::Rect::FromXYWH(area.left + x, area.top + y, size.width, size.height);
}

gfx::Rect SorvelMainDlg::SavedRect(bool mini) const {
  const gfx::Rect area = DesktopWorkArea();
  WorkAreaGeometry desktop(area);
  if (mini) {
    auto saved = parts_.runtime.store().RestoreWindowRect(keys::kMiniRect, desktop,
                                                          MainLayout::kMiniWidth, 28);
    const int x = saved ? saved->left : area.left + (area.width() - MainLayout::kMiniWidth) / 2;
    const int y = saved ? saved->top : area.top;
    return gfx::Rect::FromXYWH(
        x, y, MainLayout::kMiniWidth,
        folded_ ? MainLayout::kMiniFoldedHeight : MainLayout::kMiniUnfoldedHeight);
  }
  auto saved = parts_.runtime.store().RestoreWindowRect(keys::kNormalRect, desktop,
                                                        MainLayout::kNormalMinimum.width,
                                                        MainLayout::kNormalMinimum.height);
  if (!saved) return DefaultNormalRect();
  // The minimum size is the skin's; a saved size below it (an older file) grows to it.
  return gfx::Rect::FromXYWH(saved->left, saved->top,
                             std::max(saved->right - saved->left, MainLayout::kNormalMinimum.width),
                             std::max(saved->bottom - saved->top, MainLayout::kNormalMinimum.height));
}

void SorvelMainDlg::SaveGeometry() {
  if (!IsCreated()) return;
  const gfx::Rect r = WindowRect();
  parts_.runtime.store().SaveWindowRect(mini_ ? keys::kMiniRect : keys::kNormalRect,
                                        store::Rect{r.left, r.top, r.right, r.bottom});
}

bool SorvelMainDlg::CreateMain() {
  SetMinimumSize(mini_ ? gfx::Size{MainLayout::kMiniWidth, MainLayout::kMiniFoldedHeight}
                       : MainLayout::kNormalMinimum);
  if (!Create(SavedRect(mini_), nullptr, window::WindowKind::kMain)) return false;
  SetConfigText(keys::kMode, mini_ ? "mini" : "normal");
  // The timers are the window's own: they run across a rebuilt layout and stop at shutdown.
  // On the loop's grid: the status, volume and phone ticks (and the other steady ticks of the
  // process) share their wake-ups.
  status_timer_.StartOnGrid(std::chrono::milliseconds(kStatusTimerMs), [this] { TickStatus(); });
  volume_timer_.StartOnGrid(std::chrono::milliseconds(kVolumeTimerMs),
                            [this] { ApplyPendingVolume(); });
  if (parts_.later.phone) {
    phone_timer_.StartOnGrid(std::chrono::milliseconds(kPhoneTimerMs), [this] {
      static int frame = 0;
      if (parts_.later.phone->TransferRunning())
        parts_.later.phone->RedrawAnimation(frame = (frame + 1) % 36);
    });
  }
  // The user of the stored session is shown until the log-in answer says otherwise.
  if (LoggedIn()) user_name_ = parts_.runtime.playlists().CurrentUserInfo().username;
  // The play queue's current list ("" is the library).
  const std::string current =
      parts_.runtime.store().GetConfigText("module.music.currentplaylist", "");
  if (lists_) {
    // Making the window built the lists and showed the library just now: a large library is
    // read once, not again for a refresh and once more for the current list.
    if (lists_->panel()) lists_->panel()->RefreshPanel(false);
    if (FitPanelScrollBar()) Redraw();
    if (lists_->ShownListId() != current) ShowList(current);
  } else {
    RefreshPlaylistTree();
    ShowList(current);
  }
  // Nobody logged in, the default list and nothing in it: the ranking lists are what there is.
  if (lists_ && !LoggedIn() && current.empty() && RowCount() == 0) ShowList("t_rank");
  // The hosted page panel reopens as it was left (normal layout only).
  if (parts_.later.hosted_pages && !mini_ && ConfigText(keys::kExtOpen) != "false")
    OpenExtPanel("");
  initialised_ = true;
  return true;
}

MainLayoutState SorvelMainDlg::LayoutState() const {
  MainLayoutState s;
  s.size = ClientSize();
  s.playing = playing_;
  s.muted = Muted();
  s.lyric_open = lyric_views() && ConfigText(keys::kLyricOpen) != "false";
  s.ext_open = parts_.later.hosted_pages && parts_.later.hosted_pages->IsOpen();
  s.logged_in = LoggedIn();
  s.list_folded = folded_;
  s.panel_width = panel_width_;
  s.phone_panel = parts_.later.phone != nullptr;
  s.phone_connected = parts_.later.phone && parts_.later.phone->DeviceConnected();
  s.phone_minimized = phone_minimized_;
  s.phone_band = PhoneBand();
  s.volume = Volume();
  if (parts_.play) s.play_mode = parts_.play->Mode();
  return s;
}

void SorvelMainDlg::InitLayer() {
  BuildLayout();
}

void SorvelMainDlg::AddEntry(const MainControlEntry& entry) {
  using Kind = MainControlEntry::Kind;
  const gfx::Size is = entry.image_size;
  auto stacked = [&](int row) {
    return gfx::Rect::FromXYWH(entry.image.x, entry.image.y + row * is.height, is.width, is.height);
  };
  switch (entry.kind) {
    case Kind::kImage:
      AddButton(entry.bounds, stacked(0), stacked(1), stacked(2), entry.id, entry.tooltip,
                entry.hidden);
      break;
    case Kind::kSlider: {
      LayerControl& c = AddSlider(entry.bounds.width(), entry.bounds.height(), entry.bounds.left,
                                  entry.bounds.top, entry.image.x, entry.image.y, entry.id,
                                  entry.track, entry.tooltip);
      c.normal = stacked(0);
      c.hover = stacked(1);
      c.pressed_image = stacked(2);
      break;
    }
    case Kind::kCaption: {
      LayerControl& c = AddButton(entry.bounds, {}, {}, {}, entry.id, entry.tooltip, entry.hidden);
      c.text = entry.caption;
      break;
    }
  }
}

void SorvelMainDlg::BuildLayout() {
  attached_.SetAllFree();
  const MainLayoutState state = LayoutState();
  for (const MainControlEntry& entry : mini_ ? MainLayout::Mini(state) : MainLayout::Normal(state))
    AddEntry(entry);
  const gfx::Rect list_rect = MainLayout::SongListRect(ClientSize(), panel_width_, mini_, PhoneBand());
  if (parts_.downloader && parts_.endpoints && parts_.sync_view) {
    if (!lists_) {
      lists_ = std::make_unique<MainListPanels>(
          *this,
          lists::ListViewDeps{parts_.runtime, *parts_.downloader, *parts_.endpoints, *this,
                              parts_.sync, parts_.play, &parts_.player},
          *parts_.sync_view);
    }
    // The lists read the store as it is now.
    lists_seen_ = parts_.runtime.store().ListsRevision();
    // The song list stops short of its scroll bar, which the window draws.
    const gfx::Rect songs{list_rect.left, list_rect.top, list_rect.right - 12, list_rect.bottom};
    const bool folded = mini_ && folded_;
    // The playlist panel makes room for its scroll bar only while its rows overflow it.
    lists_->Build(mini_ ? gfx::Rect{} : MainLayout::PanelRect(ClientSize(), panel_width_, PhoneBand()),
                  folded ? gfx::Rect{} : songs,
                  mini_ ? gfx::Rect{} : MainLayout::SearchBoxRect(ClientSize()));
    if (folded) ShowControl(MainListPanels::kSongListControl, false);
    return;
  }
  std::vector<store::MusicRecordPtr> records;
  std::string list_id = "local";
  if (song_list_) {
    records = song_list_->records();
    list_id = song_list_->list_id();
  }
  song_list_ = std::make_unique<SeamSongList>(*this, list_rect);
  song_list_->SetRecords(list_id, std::move(records));
  song_list_->SetOnActivated([this](int) { PlaySelected(); });
  if (skin()) {
    song_list_->SetColors(SkinColor(m::kTextPixel), SkinColor(m::kRowEvenPixel),
                          SkinColor(m::kRowOddPixel), SkinColor(m::kSelectionPixel),
                          SkinColor(m::kSelectionTextPixel), SkinColor(m::kAccentPixel));
  }
  if (mini_ && folded_) song_list_->SetBounds(gfx::Rect{0, 0, 0, 0});
}

bool SorvelMainDlg::ControlDisabled(int id) const {
  switch (id) {
    case kSettings:
      return parts_.later.settings == nullptr;
    case kPhoneFiles:
    case kPanelToggle1:
    case kPanelToggle2:
      return parts_.later.phone == nullptr;
    case kLyricOpen:
    case kLyricClose:
      return lyric_views() == nullptr;
    case kPage2:
    case kPage3:
    case kNewBatch:
      return lists_ == nullptr;  // the stand-in list has no service pages
    default:
      return false;
  }
}

void SorvelMainDlg::DrawControl(LayerControl& c) {
  if (c.hidden || back_buffer().IsNull()) return;
  if (c.id == kListHeader1) {
    DrawListHeaderTitle(c);
    return;
  }
  if (c.text.empty() && !ControlDisabled(c.id)) {
    LayerWnd::DrawControl(c);
    return;
  }
  RestoreBackground(c.bounds);
  gfx::Painter painter(back_buffer());
  const bool disabled = ControlDisabled(c.id);
  if (c.text.empty()) {
    // A disabled image button: its normal image, faded.
    if (skin()) painter.DrawImage(*skin(), c.normal, c.bounds);
    painter.FillRect(c.bounds, gfx::Color{0xFF, 0xFF, 0xFF, 0x90});
    SetNeedsUpdate();
    return;
  }
  const bool on_panel = c.bounds.top < 112 && !mini_;
  const gfx::Color ink = disabled            ? gfx::Color::Rgb(0xA0, 0xA8, 0xB0)
                         : on_panel || mini_ ? gfx::Color::Rgb(0xFF, 0xFF, 0xFF)
                                             : SkinColor(m::kTextPixel);
  if (!disabled && (c.hovered || c.pressed)) {
    painter.FillRoundedRect(c.bounds, 3,
                            on_panel || mini_ ? gfx::Color{0xFF, 0xFF, 0xFF, 0x50}
                                              : gfx::Color{0x3D, 0x8E, 0xE0, 0x30});
  }
  gfx::TextOptions options;
  options.align = gfx::TextAlign::kCenter;
  options.vertical_center = true;
  painter.DrawText(c.text, control_font(), ink, c.bounds, options);
  SetNeedsUpdate();
}

void SorvelMainDlg::DrawBackground() {
  if (!skin()) return;
  {
    gfx::Painter p(back_buffer());
    p.Clear(gfx::Rect{0, 0, ClientSize().width, ClientSize().height});
    if (mini_) {
      const gfx::Rect src = m::kMiniBackground;
      const int h = ClientSize().height;
      // Folded: the band and the rounded bottom of the skin, joined.
      if (h < src.height()) {
        p.DrawImage(
            *skin(),
            gfx::Rect{src.left, src.top, src.left + MainLayout::kMiniWidth, src.top + h - 6},
            gfx::Point{0, 0});
        p.DrawImage(
            *skin(),
            gfx::Rect{src.left, src.bottom - 6, src.left + MainLayout::kMiniWidth, src.bottom},
            gfx::Point{0, h - 6});
      } else {
        p.DrawImage(*skin(),
                    gfx::Rect{src.left, src.top, src.left + MainLayout::kMiniWidth, src.bottom},
                    gfx::Point{0, 0});
      }
    } else {
      DrawNormalBackground(p);
      // Tracks of the volume slider and the seek bar.
      const gfx::Rect vt = MainLayout::VolumeTrack();
      p.DrawImage(*skin(), m::kVolumeTrack, gfx::Rect{vt.left, vt.top + 3, vt.right, vt.top + 7});
      const gfx::Rect st = MainLayout::SeekTrack(ClientSize());
      p.DrawImage(*skin(), m::kSeekTrack, gfx::Rect{st.left, st.top + 2, st.right, st.top + 8});
      if (!user_name_.empty()) {
        gfx::TextOptions options;
        options.align = gfx::TextAlign::kRight;
        options.ellipsize = true;
        // The name keeps clear of the artist picture when one is shown.
        const int left = artist_image_ ? std::max(ClientSize().width - 150,
                                                  MainLayout::ArtistPictureRect().right + 4)
                                       : ClientSize().width - 150;
        p.DrawText(user_name_, control_font(), gfx::Color::Rgb(0xFF, 0xFF, 0xFF),
                   gfx::Rect{left, 58, ClientSize().width - 44, 76}, options);
      }
    }
  }
  DrawArtistPicture();
}

void SorvelMainDlg::DrawAll() {
  FitPanelScrollBar();
  // The background is the skin alone: what changes (fills, texts, rows) is drawn over it, so
  // that restoring the background under a part and drawing it again never leaves old pixels.
  LayerWnd::DrawAll();
  if (back_buffer().IsNull()) return;
  if (!mini_) {
    DrawVolumeFill();
    DrawSeekFill();
    if (!lists_) DrawPanel();
    if (const int band = PhoneBand(); band > 0) {
      gfx::Painter p(back_buffer());
      parts_.later.phone->Draw(p, MainLayout::PhonePanelRect(ClientSize(), band));
    }
  }
  DrawStatusLine();
  DrawTimeDisplay();
  DrawSpectrum();
  if (song_list_ && !(mini_ && folded_)) {
    gfx::Painter p(back_buffer());
    song_list_->Draw(p);
  }
  // The thumbs over their fills.
  for (int id : {kVolumeThumb, kSeekThumb})
    if (LayerControl* thumb = FindControl(id); thumb && !thumb->hidden)
      LayerWnd::DrawControl(*thumb);
  SetNeedsUpdate();
}

void SorvelMainDlg::DrawPanel() {
  const gfx::Rect panel = MainLayout::PanelRect(ClientSize(), panel_width_, PhoneBand());
  if (panel.IsEmpty()) return;
  gfx::Painter p(back_buffer());
  p.FillRect(panel, SkinColor(m::kRowOddPixel));
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  for (std::size_t i = 0; i < panel_names_.size(); ++i) {
    const gfx::Rect row =
        gfx::Rect::FromXYWH(panel.left, panel.top + int(i) * 22, panel.width(), 22);
    if (row.bottom > panel.bottom) break;
    const bool selected = int(i) == panel_selected_;
    if (selected) p.FillRect(row, SkinColor(m::kSelectionPixel));
    p.DrawText(panel_names_[i], control_font(),
               selected ? SkinColor(m::kSelectionTextPixel) : SkinColor(m::kTextPixel),
               gfx::Rect{row.left + 6, row.top, row.right - 2, row.bottom}, options);
  }
}

void SorvelMainDlg::DrawStatusLine() {
  const gfx::Rect box = MainLayout::StatusRect(ClientSize(), mini_);
  if (back_buffer().IsNull()) return;
  static const gfx::Font kFont = gfx::Font::Points("宋体", 9);
  if (status_.text_width() < 0)
    status_.SetTextWidth(gfx::TextMeasure::Width(status_.text(), kFont));
  RestoreBackground(box);
  gfx::Painter p(back_buffer());
  p.PushClip(box);
  const int offset = status_.Offset(ClientSize().width);
  gfx::TextOptions options;
  options.vertical_center = true;
  p.DrawText(status_.text(), kFont, gfx::Color::Rgb(0xFF, 0xFF, 0xFF),
             gfx::Rect{box.left - offset, box.top, box.left - offset + status_.text_width() + 8,
                       box.bottom},
             options);
  p.PopClip();
  SetNeedsUpdate();
}

void SorvelMainDlg::DrawTimeDisplay() {
  const gfx::Rect box = MainLayout::TimeRect(ClientSize(), mini_);
  if (back_buffer().IsNull()) return;
  RestoreBackground(box);
  if (length_s_ <= 0 && position_s_ <= 0) return;
  gfx::Painter p(back_buffer());
  gfx::TextOptions options;
  options.align = gfx::TextAlign::kRight;
  options.vertical_center = true;
  p.DrawText(TimeText(position_s_) + "/" + TimeText(length_s_), control_font(),
             gfx::Color::Rgb(0xFF, 0xFF, 0xFF), box, options);
  SetNeedsUpdate();
}

void SorvelMainDlg::DrawVolumeFill() {
  LayerControl* thumb = FindControl(kVolumeThumb);
  if (!thumb || !skin()) return;
  const gfx::Rect vt = MainLayout::VolumeTrack();
  gfx::Painter p(back_buffer());
  const int width = thumb->bounds.left - vt.left;
  if (width > 0)
    p.DrawImage(*skin(), m::kVolumeFill,
                gfx::Rect{vt.left, vt.top + 3, vt.left + width, vt.top + 7});
}

void SorvelMainDlg::DrawSeekFill() {
  LayerControl* thumb = FindControl(kSeekThumb);
  if (!thumb || !skin()) return;
  const gfx::Rect st = MainLayout::SeekTrack(ClientSize());
  gfx::Painter p(back_buffer());
  const int width = thumb->bounds.left - st.left;
  if (width > 0)
    p.DrawImage(*skin(), m::kSeekFill, gfx::Rect{st.left, st.top + 2, st.left + width, st.top + 8});
}

void SorvelMainDlg::DrawSliderTrack(int id) {
  if (!skin()) return;
  if (id == kVolumeThumb) {
    const gfx::Rect vt = MainLayout::VolumeTrack();
    RestoreBackground(vt);
    DrawVolumeFill();
  } else if (id == kSeekThumb) {
    const gfx::Rect st = MainLayout::SeekTrack(ClientSize());
    RestoreBackground(st);
    DrawSeekFill();
  }
}

void SorvelMainDlg::TickStatus() {
  if (!IsCreated()) return;
  if (status_.Tick(ClientSize().width)) {
    DrawStatusLine();
    UpdateIfDirty();
  }
  TickSpectrum();
  FollowStoreLists();
}

void SorvelMainDlg::FollowStoreLists() {
  const std::uint64_t revision = parts_.runtime.store().ListsRevision();
  if (revision == lists_seen_) return;
  lists_seen_ = revision;
  if (lists_) RefreshPlaylistTree();
}

void SorvelMainDlg::TickSpectrum() {
  // Nothing to analyse for a window nobody sees (hidden to the tray, the mini layout).
  if (mini_ || !presenter() || !presenter()->IsVisible()) return;
  const playback::SpectrumAnalyzer* analyzer = parts_.player.UpdateSpectrumView();
  if (analyzer == nullptr) return;
  const gfx::Rect box = MainLayout::SpectrumRect(ClientSize());
  if (!spectrum_.Update(SpectrumDisplay::HeightsOf(analyzer->bars(), analyzer->peaks(),
                                                   box.height())))
    return;
  DrawAndPresentPart(box, [this] { DrawSpectrum(); });
}

void SorvelMainDlg::DrawSpectrum() {
  if (mini_ || back_buffer().IsNull() || !skin()) return;
  const gfx::Rect box = MainLayout::SpectrumRect(ClientSize());
  RestoreBackground(box);
  gfx::Painter p(back_buffer());
  spectrum_.Draw(p, box, SkinManager::PixelColor(*skin(), m::kSpectrumBarPixel.x, m::kSpectrumBarPixel.y),
                 SkinManager::PixelColor(*skin(), m::kSpectrumPeakPixel.x, m::kSpectrumPeakPixel.y));
}

void SorvelMainDlg::ApplyPendingVolume() {
  if (pending_volume_ < 0) return;
  const int volume = pending_volume_;
  pending_volume_ = -1;
  if (parts_.play) parts_.play->SetVolume(volume);
}

void SorvelMainDlg::OnSliderMove(LayerControl& c) {
  if (c.id == kVolumeThumb) {
    pending_volume_ = MainLayout::VolumeForThumbOffset(c.bounds.left - c.track.left,
                                                       c.track.width() - c.bounds.width());
    DrawVolumeFill();
  } else if (c.id == kSeekThumb) {
    seek_dragging_ = true;
    DrawSeekFill();
  } else if (c.id == kPanelScrollThumb) {
    const int travel = c.track.height() - c.bounds.height();
    if (lists_ && lists_->panel()) {
      lists_->panel()->SetScrollFraction(travel > 0 ? double(c.bounds.top - c.track.top) / travel
                                                    : 0);
      lists_->panel()->Invalidate();
    }
  } else if (c.id == kSongScrollThumb) {
    const int travel = c.track.height() - c.bounds.height();
    const double fraction = travel > 0 ? double(c.bounds.top - c.track.top) / travel : 0;
    if (lists_ && lists_->songs()) {
      lists_->songs()->SetScrollFraction(fraction);
      lists_->songs()->Invalidate();
    } else if (song_list_) {
      song_list_->SetScrollFraction(fraction);
      Redraw();
    }
  }
  DrawControl(c);
}

void SorvelMainDlg::OnSliderRelease(LayerControl& c) {
  if (c.id == kVolumeThumb) {
    const int volume = MainLayout::VolumeForThumbOffset(c.bounds.left - c.track.left,
                                                        c.track.width() - c.bounds.width());
    pending_volume_ = -1;
    SetVolume(volume);
  } else if (c.id == kSeekThumb) {
    seek_dragging_ = false;
    const int length_ms = parts_.play ? parts_.play->DurationMs() : -1;
    if (length_ms > 0) {
      parts_.play->Seek(MainLayout::PositionForThumbOffset(length_ms, c.bounds.left - c.track.left,
                                                           c.track.width() - c.bounds.width()));
    }
  }
}

void SorvelMainDlg::MoveSeekThumb() {
  LayerControl* thumb = FindControl(kSeekThumb);
  if (!thumb || seek_dragging_ || dragged_slider() == thumb) return;
  const int travel = thumb->track.width() - thumb->bounds.width();
  const int offset =
      MainLayout::ThumbOffsetForPosition(position_s_ * 1000, length_s_ * 1000, travel);
  MoveSliderThumb(*thumb, {thumb->track.left + offset, thumb->track.top});
}

bool SorvelMainDlg::IsDragArea(int x, int y) {
  return MainLayout::IsDragArea({x, y}, ClientSize(), mini_);
}

void SorvelMainDlg::DrawNormalBackground(gfx::Painter& p) {
  const gfx::Rect bg = m::kBackground;
  const gfx::Size size = ClientSize();
  if (size == gfx::Size{bg.width(), bg.height()}) {
    p.DrawImage(*skin(), bg, gfx::Point{0, 0});
    return;
  }
  // A larger window: the skin in nine pieces; the corners keep their pixels (the title, the
  // rounded corners), the bands between them stretch.
  const int xs[4] = {0, kBackgroundLeft, bg.width() - kBackgroundRight, bg.width()};
  const int ys[4] = {0, kBackgroundTop, bg.height() - kBackgroundBottom, bg.height()};
  const int xd[4] = {0, kBackgroundLeft, size.width - kBackgroundRight, size.width};
  const int yd[4] = {0, kBackgroundTop, size.height - kBackgroundBottom, size.height};
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const gfx::Rect source{bg.left + xs[col], bg.top + ys[row], bg.left + xs[col + 1],
                             bg.top + ys[row + 1]};
      const gfx::Rect dest{xd[col], yd[row], xd[col + 1], yd[row + 1]};
      if (dest.width() > 0 && dest.height() > 0) p.DrawImage(*skin(), source, dest);
    }
  }
}

std::optional<window::ResizeEdge> SorvelMainDlg::ResizeEdgeAt(gfx::Point p) const {
  if (mini_) return std::nullopt;
  const gfx::Size s = ClientSize();
  const bool right = p.x >= s.width - kResizeBorder;
  const bool bottom = p.y >= s.height - kResizeBorder;
  if (p.x >= s.width - kResizeCorner && p.y >= s.height - kResizeCorner)
    return window::ResizeEdge::kBottomRight;
  if (right) return window::ResizeEdge::kRight;
  if (bottom) return window::ResizeEdge::kBottom;
  return std::nullopt;
}

void SorvelMainDlg::OnLButtonDown(const window::MouseEvent& e) {
  if (const auto edge = ResizeEdgeAt(e.pos); edge && presenter() && !ControlAt(e.pos)) {
    presenter()->BeginResizeDrag(*edge, e);
    return;
  }
  if (!mini_ && MainLayout::IsSplitterBand(e.pos, ClientSize(), panel_width_)) {
    splitter_press_x_ = e.pos.x;
    splitter_press_width_ = panel_width_;
    return;
  }
  if (lists_) {
    // A press on a list gives the keys to the window (Ctrl+A, Enter, Esc), not the search box.
    const bool on_songs = lists_->songs() && lists_->songs()->bounds().Contains(e.pos);
    const bool on_panel = lists_->panel() && lists_->panel()->bounds().Contains(e.pos);
    if ((on_songs || on_panel) && presenter()) presenter()->ClearFocus();
    LayerWnd::OnLButtonDown(e);
    return;
  }
  if (song_list_ && song_list_->bounds().Contains(e.pos) && !ControlAt(e.pos)) {
    song_list_->SetModifiers(false, false);
    song_list_->OnMouseDown(e.pos);
    UpdateIfDirty();
    return;
  }
  const gfx::Rect panel = MainLayout::PanelRect(ClientSize(), panel_width_, PhoneBand());
  if (!mini_ && panel.Contains(e.pos)) {
    const int row = (e.pos.y - panel.top) / 22;
    if (row >= 0 && row < int(panel_lists_.size())) ShowList(panel_lists_[row]);
    return;
  }
  LayerWnd::OnLButtonDown(e);
}

void SorvelMainDlg::OnLButtonUp(const window::MouseEvent& e) {
  if (splitter_press_x_ >= 0) {
    // The panel takes the width at the press plus the movement (the layout is made once, at
    // the release).
    const int width = splitter_press_width_ + e.pos.x - splitter_press_x_;
    splitter_press_x_ = -1;
    // The live layout moved the controls only: the window is made again at the final width.
    if (MainLayout::ClampPanelWidth(width, ClientSize().width) != splitter_press_width_)
      SetPanelWidth(width);
    return;
  }
  if (lists_ && lists_->songs()) song_pointer_.OnButtonUp(*lists_->songs(), e);
  LayerWnd::OnLButtonUp(e);
}

void SorvelMainDlg::OnMouseLeave() {
  song_pointer_.OnLeave();
  LayerWnd::OnMouseLeave();
}

bool SorvelMainDlg::OnKeyDown(const window::KeyEvent& e) {
  if (lists_ && lists_->songs() && song_pointer_.OnKey(*lists_->songs(), e)) return true;
  return LayerWnd::OnKeyDown(e);
}

void SorvelMainDlg::OnCaptureLost() {
  if (lists_ && lists_->songs()) song_pointer_.OnCaptureLost(*lists_->songs());
  LayerWnd::OnCaptureLost();
}

void SorvelMainDlg::OnLButtonDoubleClick(const window::MouseEvent& e) {
  if (song_list_ && song_list_->bounds().Contains(e.pos)) {
    const int row = song_list_->RowAt(e.pos);
    if (row >= 0) song_list_->OnRowActivated(row);
    return;
  }
  LayerWnd::OnLButtonDoubleClick(e);
}

void SorvelMainDlg::OnRButtonUp(const window::MouseEvent& e) {
  if (lists_) {
    if (!lists_->OnContextMenu(e.pos)) LayerWnd::OnRButtonUp(e);
    return;
  }
  if (song_list_ && song_list_->bounds().Contains(e.pos)) {
    const int row = song_list_->RowAt(e.pos);
    if (row >= 0 && !song_list_->IsSelected(row)) {
      song_list_->SetModifiers(false, false);
      song_list_->OnMouseDown(e.pos);
    }
    std::vector<window::MenuItem> items;
    window::MenuItem play;
    play.caption = "播放";
    play.id = kCmdPlaySelected;
    items.push_back(play);
    items.push_back(window::MenuItem::Separator());
    window::MenuItem import_songs;
    import_songs.caption = "添加本地歌曲";
    import_songs.id = kCmdAddLocalSongs;
    items.push_back(import_songs);
    ShowMenuAt(items, e.pos);
    return;
  }
  LayerWnd::OnRButtonUp(e);
}

void SorvelMainDlg::OnMouseWheel(const window::MouseEvent& e, int delta_steps) {
  // Positive steps scroll down.
  if (lists_) {
    if (lists_->songs() && lists_->songs()->bounds().Contains(e.pos)) {
      lists_->songs()->OnWheel(delta_steps);
      OnListScrolled(true);
      return;
    }
    if (lists_->panel() && lists_->panel()->bounds().Contains(e.pos)) {
      lists_->panel()->OnWheel(delta_steps);
      OnListScrolled(false);
      return;
    }
  }
  if (song_list_ && song_list_->bounds().Contains(e.pos)) {
    song_list_->ScrollBy(delta_steps * 3 * SeamSongList::kRowHeight);
    MoveSongScrollThumb(song_list_->ScrollFraction());
    Redraw();
    return;
  }
  LayerWnd::OnMouseWheel(e, delta_steps);
}

void SorvelMainDlg::MoveSongScrollThumb(double fraction) {
  MoveScrollThumb(kSongScrollThumb, fraction);
}

void SorvelMainDlg::MoveScrollThumb(int thumb_id, double fraction) {
  LayerControl* thumb = FindControl(thumb_id);
  if (!thumb || thumb->hidden || dragged_slider() == thumb) return;
  const int travel = thumb->track.height() - thumb->bounds.height();
  MoveSliderThumb(*thumb,
                  {thumb->track.left, thumb->track.top + int(std::lround(fraction * travel))});
}

void SorvelMainDlg::OnMove(gfx::Point screen_origin) {
  LayerWnd::OnMove(screen_origin);
  attached_.OnMainMoved(WindowRect());
}

void SorvelMainDlg::OnSize(gfx::Size size) {
  const bool changed = size != laid_out_size_;
  LayerWnd::OnSize(size);
  laid_out_size_ = size;
  // Resized by its border: the controls and lists follow the new edges.
  if (changed && IsCreated() && !mini_ && lists_) RelayoutInPlace();
  // Windows attached below or to the right follow the new edges.
  attached_.OnMainResized(WindowRect());
}

void SorvelMainDlg::OnControlEvent(LayerControl* control, int code) {
  const int id = control ? control->id : code;
  if (ControlDisabled(id)) return;
  router_.OnControl(id);
}

void SorvelMainDlg::OnControlPressed(LayerControl&, int id) {
  // The colour picker opens on the press, at the cursor.
  if (id == kColor) OpenColorPicker();
}

void SorvelMainDlg::OnPopupClosed(int first, int) {
  if (first == VolumeAdjustPopup::kPopupClosedCode) {
    ShowControl(kVolumeOpen, true);
    ShowControl(kVolumeClose, false);
    UpdateIfDirty();
  }
}

void SorvelMainDlg::OnClose() {
  RequestClose();
}

void SorvelMainDlg::OnDestroy() {
  // The search box is a native entry of the window: it goes before the window does.
  if (lists_) lists_->DestroyEdit();
  LayerWnd::OnDestroy();
}

void SorvelMainDlg::Rebuild(bool new_lists) {
  if (!IsCreated()) {
    if (new_lists) lists_.reset();
    return;
  }
  const gfx::Rect place = WindowRect();
  std::vector<store::MusicRecordPtr> records =
      song_list_ ? song_list_->records() : std::vector<store::MusicRecordPtr>{};
  const std::string list_id = song_list_ ? song_list_->list_id() : "local";
  song_pointer_.Forget();
  Destroy();
  // The controls referring to the lists are gone with the window; the lists may go now.
  if (new_lists) lists_.reset();
  song_list_.reset();
  const int height =
      mini_ ? (folded_ ? MainLayout::kMiniFoldedHeight : MainLayout::kMiniUnfoldedHeight)
            : place.height();
  Create(gfx::Rect::FromXYWH(place.left, place.top, mini_ ? MainLayout::kMiniWidth : place.width(),
                             height),
         nullptr, window::WindowKind::kMain);
  if (song_list_) song_list_->SetRecords(list_id, std::move(records));
  Redraw();
}

void SorvelMainDlg::RequestClose() {
  close_.Run();
}

void SorvelMainDlg::Exit() {
  close_.SetExitFlag();
  close_.Run();
}

void SorvelMainDlg::ShutDown() {
  if (VolumeAdjustPopup* popup = VolumeAdjustPopup::Current()) popup->Destroy();
  status_timer_.Stop();
  volume_timer_.Stop();
  phone_timer_.Stop();
  if (parts_.later.hosted_pages) parts_.later.hosted_pages->Close();
  // The lyric views close as the program ends; they open again at the next start.
  if (LyricViewControl* views = lyric_views()) views->HideViews();
  if (IsVisible()) SaveGeometry();
  if (parts_.on_shut_down) parts_.on_shut_down();
  Destroy();
}

void SorvelMainDlg::ShowMenuAt(const std::vector<window::MenuItem>& items, gfx::Point at) {
  if (!presenter()) return;
  presenter()->ShowMenu(items, at, [this](int id) {
    // After the menu closed, from the loop, as a posted command.
    if (loop_target()) loop_target()->Post([this, id] { RunCommand(id); });
  });
}

void SorvelMainDlg::RunCommand(int command_id) {
  router_.OnCommand(command_id);
}

}  // namespace quillo::ui

namespace quillo::ui {

int SorvelMainDlg::PhoneBand() const {
  if (mini_ || !parts_.later.phone) return 0;
  return MainLayout::PhoneBand(parts_.later.phone->DeviceConnected(), phone_minimized_);
}

void SorvelMainDlg::OnPhoneChanged() {
  // A phone that arrives or leaves while the mini layout shows brings back the normal one.
  if (mini_) {
    SwitchLayout(false);
  } else {
    RelayoutInPlace();
  }
  RefreshPlaylistTree();
  Redraw();
}

void SorvelMainDlg::RedrawPhonePanel() {
  const int band = PhoneBand();
  if (band == 0 || back_buffer().IsNull()) return;
  const gfx::Rect box = MainLayout::PhonePanelRect(ClientSize(), band);
  RestoreBackground(box);
  gfx::Painter p(back_buffer());
  parts_.later.phone->Draw(p, box);
  SetNeedsUpdate();
  UpdateIfDirty();
}

}  // namespace quillo::ui
