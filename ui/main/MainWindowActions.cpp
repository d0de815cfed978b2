// The main window's actions, its play display and its login display.
#include <algorithm>

#include "platform/fs/FileSystem.h"
#include "platform/window/WindowSystem.h"
#include "playback/PlayQueueMode.h"
#include "playback/PlaySurface.h"
#include "playback/Player.h"
#include "service/session/LoginSession.h"
#include "service/sync/PlaylistSync.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "ui/dialogs/ColorPicker.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/PlaylistView.h"
#include "ui/main/HandedCommandLine.h"
#include "ui/main/MainIds.h"
#include "ui/main/MainListPanels.h"
#include "ui/main/MainMenus.h"
#include "ui/main/SeamSongList.h"
#include "ui/main/SorvelMainDlg.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/SkinManager.h"

namespace quillo::ui {

using namespace main_ids;
namespace keys = main_keys;

// ---- Play operations ------------------------------------------------------------------------

void SorvelMainDlg::Previous() {
  if (parts_.play) parts_.play->Previous();
}
void SorvelMainDlg::Play() {
  if (parts_.play) parts_.play->Play();
}
void SorvelMainDlg::Pause() {
  if (parts_.play) parts_.play->Pause();
}
void SorvelMainDlg::Next() {
  if (parts_.play) parts_.play->Next();
}

void SorvelMainDlg::PlaySelected() {
  if (lists_ && lists_->songs()) {
    lists_->songs()->HandleCommand(kCmdPlaySelected);
    return;
  }
  if (!parts_.play || !song_list_) return;
  const std::set<int>& selection = song_list_->selection();
  if (selection.empty()) return;
  const int row = *selection.begin();
  if (row < 0 || row >= song_list_->RowCount()) return;
  parts_.play->PlaySong(song_list_->list_id(), *song_list_->records()[std::size_t(row)]);
}

int SorvelMainDlg::Volume() const {
  return parts_.play ? parts_.play->Volume() : parts_.player.GetVolume();
}

void SorvelMainDlg::SetVolume(int volume) {
  volume = std::clamp(volume, 0, 100);
  if (parts_.play) parts_.play->SetVolume(volume);
  ShowVolume(volume);
}

bool SorvelMainDlg::Muted() const {
  return parts_.play && parts_.play->Muted();
}

void SorvelMainDlg::SetMuted(bool muted) {
  if (parts_.play) parts_.play->SetMuted(muted);
  ShowMuted(muted);
}

void SorvelMainDlg::ChoosePlayMode(int command_id) {
  auto mode = playback::PlayQueueMode::FromCommand(command_id);
  if (mode && parts_.play) parts_.play->ChooseMode(*mode);
}

// ---- The window -----------------------------------------------------------------------------

void SorvelMainDlg::Minimize() {
  SaveGeometry();
  if (tray_shown_ && tray_shown_()) {
    // The tray icon brings it back.
    Hide();
    listeners_.ForEach([](MainWindowListener& listener) { listener.OnHiddenToTray(); });
    return;
  }
  if (presenter()) presenter()->Iconify();
}

void SorvelMainDlg::SwitchLayout(bool mini) {
  if (mini == mini_ || !IsCreated()) return;
  SaveGeometry();
  if (mini && parts_.later.hosted_pages) parts_.later.hosted_pages->Close();
  if (VolumeAdjustPopup* popup = VolumeAdjustPopup::Current()) popup->Destroy();
  mini_ = mini;
  folded_ = true;
  SetConfigText(keys::kMode, mini ? "mini" : "normal");
  SetMinimumSize(mini ? gfx::Size{MainLayout::kMiniWidth, MainLayout::kMiniFoldedHeight}
                      : MainLayout::kNormalMinimum);
  // Made again at the layout's own saved place: controls, back buffer and size all change.
  const gfx::Rect place = SavedRect(mini_);
  SetWindowRect(place);
  Rebuild(false);
  if (!mini && parts_.later.hosted_pages && ConfigText(keys::kExtOpen) != "false") OpenExtPanel("");
}

void SorvelMainDlg::FoldMiniList(bool fold) {
  if (!mini_) return;
  folded_ = fold;
  const gfx::Rect r = WindowRect();
  SetWindowRect(
      gfx::Rect::FromXYWH(r.left, r.top, MainLayout::kMiniWidth,
                          fold ? MainLayout::kMiniFoldedHeight : MainLayout::kMiniUnfoldedHeight));
  // The controls and the song list of the other height.
  Rebuild(false);
}

void SorvelMainDlg::SetPanelWidth(int width_px) {
  if (mini_) return;
  panel_width_ = MainLayout::ClampPanelWidth(width_px, ClientSize().width);
  Rebuild(false);
}

void SorvelMainDlg::ShowPanelPage(int page) {
  if (lists_) {
    lists_->SetPage(page);
    Redraw();
    return;
  }
  if (page == 0) RefreshPlaylistTree();
}

void SorvelMainDlg::OnPanelPageChanged(lists::PanelPage) {
  if (FitPanelScrollBar()) Redraw();
}

void SorvelMainDlg::ScrollList(bool song_list, int rows) {
  if (lists_) {
    if (song_list && lists_->songs()) lists_->songs()->OnWheel(rows);
    if (!song_list && lists_->panel()) lists_->panel()->OnWheel(rows);
    OnListScrolled(song_list);
    return;
  }
  if (song_list && song_list_) {
    song_list_->ScrollBy(rows * SeamSongList::kRowHeight);
    MoveSongScrollThumb(song_list_->ScrollFraction());
    Redraw();
  }
}

void SorvelMainDlg::ShowVolumePopup(bool open) {
  if (open) {
    if (VolumeAdjustPopup::Show(this, volume_control_)) {
      ShowControl(kVolumeOpen, false);
      ShowControl(kVolumeClose, true);
    }
  } else if (VolumeAdjustPopup* popup = VolumeAdjustPopup::Current()) {
    popup->Close();
  }
  UpdateIfDirty();
}

void SorvelMainDlg::ShowControlMenu(int control_id) {
  LayerControl* c = FindControl(control_id);
  const gfx::Point at = c ? gfx::Point{c->bounds.left, c->bounds.bottom} : gfx::Point{0, 0};
  MainMenuState state;
  state.lyric_open = ConfigText(keys::kLyricOpen);
  state.lyric_mode = ConfigText(keys::kLyricMode);
  state.lyric_bar_locked = lyric_views() && lyric_views()->BarLocked();
  for (const auto& entry : playback::PlayQueueMode::Entries())
    if (entry.mode == playback::PlayQueueMode::ForMenu(parts_.runtime.store()))
      state.play_mode_command = entry.command_id;
  if (song_list_) {
    if (auto info = parts_.runtime.playlists().GetPlaylistInfo(song_list_->list_id()))
      state.sort_column = info->sort_column;
  }
  switch (control_id) {
    case kTrayMenu:
      ShowMenuAt(MainMenus::TrayMenu(state), at);
      break;
    case kImport:
    case kImport2:
      ShowMenuAt(MainMenus::ImportMenu(), at);
      break;
    case kPlayMode:
      ShowMenuAt(MainMenus::PlayModeMenu(state), at);
      break;
    case kSort:
    case kSort2:
      if (lists_ && lists_->songs())
        lists_->songs()->ShowSortMenu(at);
      else
        ShowMenuAt(MainMenus::SortMenu(state), at);
      break;
    case kAddTo:
      if (lists_ && lists_->songs()) lists_->songs()->ShowAddToListMenu(at);
      break;
    case kListHeader1:
    case kListHeader2:
      if (lists_ && lists_->panel()) lists_->panel()->OnHeaderMenu(at);
      break;
    default:
      break;
  }
}

void SorvelMainDlg::OpenColorPicker() {
  ColorPicker::SetStyleHandler([this](int style) { SetMainTheme(style); });
  window::WindowSystem* system = window::WindowSystem::Instance();
  const gfx::Point at = system ? system->CursorPosition() : gfx::Point{};
  ColorPicker::Show(at.x, at.y, this);
}

// ---- Other windows ----------------------------------------------------------------------------

void SorvelMainDlg::OpenSettings() {
  if (parts_.later.settings) parts_.later.settings->ShowSettings();
}

void SorvelMainDlg::OpenEqualizer() {
  if (parts_.later.equalizer) parts_.later.equalizer->ShowEqualizer();
}

void SorvelMainDlg::OpenExtPanel(const std::string& relative_address) {
  const std::string url = WebSite() + relative_address;
  if (parts_.later.hosted_pages == nullptr) {
    // Until the hosted page panel exists, the page opens in the default browser.
    if (!WebSite().empty()) OpenInBrowser(url);
    return;
  }
  parts_.later.hosted_pages->Open(url);
  ShowControl(kExtOpen, false);
  ShowControl(kExtClose, true);
  SetConfigText(keys::kExtOpen, "true");
  UpdateIfDirty();
}

void SorvelMainDlg::CloseExtPanel() {
  if (parts_.later.hosted_pages) parts_.later.hosted_pages->Close();
  ShowControl(kExtOpen, true);
  ShowControl(kExtClose, false);
  SetConfigText(keys::kExtOpen, "false");
  UpdateIfDirty();
}

void SorvelMainDlg::OpenLyricView() {
  if (LyricViewControl* views = lyric_views())
    views->ShowView(ConfigText(keys::kLyricMode) == "dialog");
  SetConfigText(keys::kLyricOpen, "true");
  ShowControl(kLyricOpen, false);
  ShowControl(kLyricClose, true);
  UpdateIfDirty();
}

void SorvelMainDlg::CloseLyricView(bool remember) {
  if (LyricViewControl* views = lyric_views()) views->HideViews();
  if (!remember) return;
  SetConfigText(keys::kLyricOpen, "false");
  ShowControl(kLyricOpen, true);
  ShowControl(kLyricClose, false);
  UpdateIfDirty();
}

void SorvelMainDlg::ChooseLyricMode(const std::string& mode) {
  SetConfigText(keys::kLyricMode, mode);
  if (ConfigText(keys::kLyricOpen) == "false") {
    OpenLyricView();
    return;
  }
  if (LyricViewControl* views = lyric_views()) views->ShowView(mode == "dialog");
}

void SorvelMainDlg::ToggleLyricLock() {
  if (LyricViewControl* views = lyric_views()) views->ToggleBarLock();
}

loop::Subscription SorvelMainDlg::AttachLyricViews(LyricViewControl& views) {
  loop::Subscription attached = lyric_views_.Add(views);
  // The lyric buttons follow the remembered state, drawn enabled only with views to open.
  auto show_buttons = [this, alive = std::weak_ptr<const bool>(alive_)] {
    if (alive.expired() || !IsCreated()) return;
    const bool open = lyric_views() && ConfigText(keys::kLyricOpen) != "false";
    ShowControl(kLyricOpen, !open);
    ShowControl(kLyricClose, open);
    if (FindControl(kLyricOpen)) RedrawControl(*FindControl(kLyricOpen));
    if (FindControl(kLyricClose)) RedrawControl(*FindControl(kLyricClose));
    UpdateIfDirty();
  };
  show_buttons();
  // Detaching (the views go first at shutdown) leaves the buttons disabled.
  return loop::Subscription(
      [attached = std::make_shared<loop::Subscription>(std::move(attached)), show_buttons] {
        attached->Reset();
        show_buttons();
      });
}

void SorvelMainDlg::OpenRememberedLyricView() {
  if (ConfigText(keys::kLyricOpen) != "false") OpenLyricView();
}

void SorvelMainDlg::OpenMusicFolder() {
  const std::string folder = parts_.runtime.store().FolderPath("music");
  // A new user's music folder is made by the first download or import; until then (or after
  // it was removed) it is made here, as those would, rather than the shell failing silently.
  if (!fs::FolderExists(folder) && !fs::CreateFolders(folder)) {
    AlertBox(std::string(kMusicFolderMissingText) + folder, this);
    return;
  }
  OpenInBrowser("file://" + folder);
}

void SorvelMainDlg::OpenPhoneFiles() {
  if (parts_.later.phone && parts_.later.phone->DeviceConnected()) parts_.later.phone->OpenRootFolder();
}

void SorvelMainDlg::OpenInBrowser(const std::string& url) {
  if (parts_.open_in_browser) parts_.open_in_browser(url);
}

std::string SorvelMainDlg::WebSite() const {
  return parts_.web_site ? parts_.web_site() : "";
}

bool SorvelMainDlg::Confirm(const std::string& message) {
  return ConfirmBox(message, this);
}

// ---- Login, lists, import ---------------------------------------------------------------------

void SorvelMainDlg::Login() {
  if (parts_.show_login_dialog) parts_.show_login_dialog();
  UpdateLoginControls();
}

void SorvelMainDlg::Logout() {
  if (parts_.login) parts_.login->Logout();
  UpdateLoginControls();
}

bool SorvelMainDlg::LoggedIn() const {
  return !CurrentUserId().empty();
}

std::string SorvelMainDlg::CurrentUserId() const {
  return parts_.runtime.store().CurrentUser();
}

void SorvelMainDlg::ImportLocal(bool folder) {
  if (parts_.import_local) parts_.import_local(folder);
}

void SorvelMainDlg::NewRandomBatch() {
  if (lists_ && lists_->panel()) lists_->panel()->FetchAnotherBatch();
}

void SorvelMainDlg::ShowHeaderButtons(lists::ListKind kind) {
  ShowControl(kNewBatch, kind == lists::ListKind::kRandom);
  ShowControl(kAddTo, kind == lists::ListKind::kRandom || kind == lists::ListKind::kRanking);
  UpdateIfDirty();
}

void SorvelMainDlg::OnListScrolled(bool song_list) {
  // The window's scroll thumbs follow the lists.
  if (song_list && lists_ && lists_->songs()) {
    MoveSongScrollThumb(lists_->songs()->ScrollFraction());
    const int rows = lists_->songs()->RowCount();
    listeners_.ForEach([rows](MainWindowListener& listener) { listener.OnSongListChanged(rows); });
  }
  if (!song_list && lists_ && lists_->panel())
    MoveScrollThumb(kPanelScrollThumb, lists_->panel()->ScrollFraction());
  UpdateIfDirty();
}

void SorvelMainDlg::ShowSongInfo(const store::MusicRecord& record) {
  if (parts_.later.hosted_pages && parts_.later.hosted_pages->ShowMusic(store::IdOf(record))) return;
  OpenExtPanel("music/index.php#show_music_window=" + store::IdOf(record) + "/ext=1");
}

void SorvelMainDlg::ShowArtistInfo(const store::MusicRecord& record) {
  auto it = record.find("artist_id");
  OpenExtPanel("music/artist.php?artistId=" + (it == record.end() ? std::string() : it->second));
}

void SorvelMainDlg::SortShownList(bool by_artist) {
  if (lists_ && lists_->songs()) {
    lists_->songs()->HandleCommand(by_artist ? kCmdSortByArtist : kCmdSortByName);
    UpdateIfDirty();
    return;
  }
  if (!song_list_) return;
  parts_.runtime.playlists().SortPlaylist(song_list_->list_id(), by_artist ? "artist_name" : "name",
                                          false);
  RefreshSongList();
}

bool SorvelMainDlg::ListCommand(int command_id) {
  if (lists_ && lists_->HandleCommand(command_id)) {
    UpdateIfDirty();
    return true;
  }
  service::PlaylistSync* sync = parts_.sync;
  if (!sync) return false;
  switch (command_id) {
    case service::PlaylistSync::kNewPlaylistCommand:
      sync->NewPlaylist();
      return true;
    case service::PlaylistSync::kRenameCommand:
      sync->RenamePlaylist();
      return true;
    case service::PlaylistSync::kDeletePlaylistCommand:
      sync->DeletePlaylist();
      return true;
    case service::PlaylistSync::kNewFromSelectionCommand:
      sync->NewListFromSelection();
      return true;
    case service::PlaylistSync::kAddToLibraryCommand:
      sync->AddToLibrary();
      return true;
    case service::PlaylistSync::kDeleteSongsCommand:
      sync->DeleteSongs();
      return true;
    case service::PlaylistSync::kRemoveFromListCommand:
      sync->RemoveFromList();
      return true;
    case service::PlaylistSync::kClearListCommand:
      sync->ClearList();
      return true;
    default:
      break;
  }
  if (command_id >= service::PlaylistSync::kFirstAddToListCommand)
    return sync->AddToList(command_id);
  return false;
}

// ---- Command line and dropped files -----------------------------------------------------------

HandedCommandLine::Kind SorvelMainDlg::HandleCommandLine(const std::string& text) {
  const HandedCommandLine parsed =
      ParseHandedCommandLine(text, [](const std::string& path) { return fs::FileExists(path); });
  HandedCommandLine::Kind done = HandedCommandLine::Kind::kNothing;
  if (parsed.kind == HandedCommandLine::Kind::kAddLink && parts_.sync) {
    parts_.sync->AddFromLink(parsed.text);
    done = parsed.kind;
  } else if (parsed.kind == HandedCommandLine::Kind::kFile) {
    if (std::optional<std::string> id = parts_.runtime.library().AddLocalFile(parsed.text)) {
      ShowList("local");
      if (parts_.play) parts_.play->PlayListItem("local", *id);
      done = parsed.kind;
    }
  }
  if (IsCreated()) BringToFront();
  return done;
}

int SorvelMainDlg::AddDroppedFiles(const std::vector<std::string>& paths) {
  const bool was_empty = parts_.runtime.playlists().ListRecords("local").empty();
  int added = 0;
  for (const std::string& path : paths) {
    if (fs::FolderExists(path)) {
      if (parts_.import_folder) added += std::max(0, parts_.import_folder(path));
    } else if (parts_.runtime.library().AddLocalFile(path)) {
      ++added;
    }
  }
  if (added == 0) return 0;
  if (was_empty) RefreshPlaylistTree();
  ShowList("local");
  return added;
}

void SorvelMainDlg::ShowList(const std::string& list_id) {
  // A list just made (the local library's first song) needs its panel row first.
  FollowStoreLists();
  if (lists_) {
    lists_->ShowList(list_id);
    UpdateIfDirty();
    return;
  }
  if (!song_list_) return;
  // The stand-in shows the whole library for the default list, as the song list's "[全部]" does.
  song_list_->SetRecords(list_id, list_id.empty()
                                      ? parts_.runtime.library().AllRecords()
                                      : parts_.runtime.playlists().ListRecords(list_id));
  for (std::size_t i = 0; i < panel_lists_.size(); ++i)
    if (panel_lists_[i] == list_id) panel_selected_ = int(i);
  Redraw();
}

void SorvelMainDlg::SetMainTheme(int style) {
  if (style < 0 || style >= 9) return;
  SkinManager::Instance().SetStyleImage(194 + style);
  SkinManager::Instance().SetShift(ColorShift{});
  SetConfigText("theme.style", std::to_string(style));
  SetConfigText("theme.color.h", "0");
  SetConfigText("theme.color.l", "0");
  SetConfigText("theme.color.s", "0");
  SetSkin(194 + style);
  // Every skinned window takes the new colours.
  for (LayerWnd* window : LayerWindowRegistry::All()) {
    if (window == this || !window->IsCreated()) continue;
    window->DrawAll();
    window->UpdateIfDirty();
  }
  // Made again (the list views take their colours from the skin) once the picker's click that
  // chose the style has been handled.
  Redraw();
  if (loop_target()) loop_target()->Post([this] { Rebuild(false); });
}

// ---- PlayQueueView ----------------------------------------------------------------------------

void SorvelMainDlg::SetStatusText(const std::string& text) {
  status_.SetText(text);
  if (IsCreated()) {
    DrawStatusLine();
    UpdateIfDirty();
  }
}

void SorvelMainDlg::ShowPauseButton(bool show_pause) {
  playing_ = show_pause;
  ShowControl(kPlay, !show_pause);
  ShowControl(kPause, show_pause);
  UpdateIfDirty();
}

void SorvelMainDlg::ClearTimeDisplay() {
  position_s_ = length_s_ = 0;
  if (IsCreated()) {
    DrawTimeDisplay();
    UpdateIfDirty();
  }
}

void SorvelMainDlg::ShowTime(int position_s, int length_s) {
  position_s_ = position_s;
  length_s_ = length_s;
  if (!IsCreated()) return;
  DrawTimeDisplay();
  if (!mini_) MoveSeekThumb();
  UpdateIfDirty();
}

void SorvelMainDlg::ResetSeekBar() {
  position_s_ = 0;
  if (IsCreated() && !mini_) MoveSeekThumb();
  UpdateIfDirty();
}

void SorvelMainDlg::ShowVolume(int volume) {
  LayerControl* thumb = FindControl(kVolumeThumb);
  // The user's drag wins over the player's report.
  if (!thumb || pending_volume_ >= 0 || dragged_slider() == thumb) return;
  MoveSliderThumb(*thumb, {thumb->track.left +
                               MainLayout::ThumbOffsetForVolume(volume, MainLayout::kVolumeTravel),
                           thumb->track.top});
  UpdateIfDirty();
}

void SorvelMainDlg::ShowMuted(bool muted) {
  ShowControl(kMute, !muted);
  ShowControl(kUnmute, muted);
  UpdateIfDirty();
}

void SorvelMainDlg::ShowPlayMode(playback::PlayMode mode) {
  LayerControl* button = FindControl(kPlayMode);
  if (!button) return;
  const gfx::Point origin = MainLayout::PlayModeImage(mode);
  const int w = skin::main::kPlayModeWidth, h = skin::main::kPlayModeHeight;
  button->normal = gfx::Rect::FromXYWH(origin.x, origin.y, w, h);
  button->hover = gfx::Rect::FromXYWH(origin.x, origin.y + h, w, h);
  button->pressed_image = gfx::Rect::FromXYWH(origin.x, origin.y + 2 * h, w, h);
  if (IsCreated()) {
    RedrawControl(*button);
    UpdateIfDirty();
  }
}

void MainPlayModeButton::OnPlayModeChanged(playback::PlayMode mode) {
  window_.ShowPlayMode(mode);
}

void SorvelMainDlg::SetTitleMarquee(bool running) {
  if (caption_listener_) caption_listener_(parts_.player.GetTitle(), running);
}

void SorvelMainDlg::MarkPlayingSong(const std::string& music_id) {
  // A song starts (the queue told its artist just before): the previous picture goes.
  artist_picture_.OnSongStarted(music_id, artist_id_, artist_name_);
  LoadArtistPicture();
  if (lists_ && lists_->songs()) {
    lists_->songs()->MarkPlayingSong(music_id);
    UpdateIfDirty();
    return;
  }
  if (!song_list_) return;
  song_list_->SetPlaying(music_id);
  Redraw();
}

void SorvelMainDlg::ShowNowPlaying(const std::string& title) {
  // The service's metadata is renewed with the title: the picture follows it.
  listeners_.ForEach([&](MainWindowListener& listener) {
    listener.OnNowPlaying(title);
    listener.OnArtPathChanged(artist_picture_.path());
  });
  if (caption_listener_) caption_listener_(title, true);
}

// ---- LoginWindow --------------------------------------------------------------------------------

void SorvelMainDlg::ShowAlert(const std::string& text) {
  AlertBox(text, this);
}

void SorvelMainDlg::RefreshPlaylistTree() {
  if (lists_) {
    if (lists_->panel()) lists_->panel()->RefreshPanel(true);
    if (lists_->songs()) lists_->songs()->RefreshList();
    if (FitPanelScrollBar()) Redraw();
    UpdateIfDirty();
    return;
  }
  panel_lists_ = {"local"};
  panel_names_ = {"本地音乐"};
  for (const store::PlaylistEntry& entry : parts_.runtime.playlists().ListPlaylists(true)) {
    if (entry.id == "local") continue;
    panel_lists_.push_back(entry.id);
    panel_names_.push_back(entry.name.empty() ? entry.id : entry.name);
  }
  if (panel_selected_ >= int(panel_lists_.size())) panel_selected_ = 0;
  Redraw();
}

void SorvelMainDlg::ShowUserName(const std::string& user_name) {
  user_name_ = user_name;
  UpdateLoginControls();
}

void SorvelMainDlg::UpdateLoginControls() {
  const bool in = LoggedIn();
  ShowControl(kLogin, !in);
  ShowControl(kRegister, !in);
  ShowControl(kLogout, in);
  if (!in) user_name_.clear();
  Redraw();
}

void SorvelMainDlg::Redraw() {
  if (!IsCreated()) return;
  DrawAll();
  UpdateIfDirty();
}

void SorvelMainDlg::PostLoginRefresh() {
  if (loop_target()) loop_target()->Post([this] { RefreshPlaylistTree(); });
}

// ---- The lists -----------------------------------------------------------------------------------

int SorvelMainDlg::RowCount() {
  if (lists_ && lists_->songs()) return lists_->songs()->RowCount();
  return song_list_ ? song_list_->RowCount() : 0;
}

void SorvelMainDlg::RefreshSongList() {
  if (song_list_) ShowList(song_list_->list_id());
}

}  // namespace quillo::ui
