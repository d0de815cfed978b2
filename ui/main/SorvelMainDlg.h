#pragma once
// The main window: a skinned window in the normal or the mini layout holding the player's
// controls, the status line, the playlist panel and the song list. It is the play queue's view,
// the login session's window and the playlist commands' view; its controls and menus go through
// MainCommandRouter to the actions below.
//
// Window thread only. Everything in MainWindowParts outlives the window; the play queue, the
// login session and the playlist commands are given once they exist (they need the window).
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "downloads/DownloadListener.h"
#include "playback/PlayQueueView.h"
#include "service/session/LoginWindow.h"
#include "service/sync/SyncPrompt.h"
#include "service/sync/SyncView.h"
#include "ui/dialogs/VolumeAdjustPopup.h"
#include "ui/lists/ListsHost.h"
#include "ui/main/ArtistPicture.h"
#include "ui/main/AttachedWindows.h"
#include "ui/main/CloseProcedure.h"
#include "ui/main/DownloadedArtistPictures.h"
#include "ui/main/HandedCommandLine.h"
#include "ui/main/LaterWindows.h"
#include "ui/main/LyricViewControl.h"
#include "ui/main/MainActions.h"
#include "ui/main/MainCommandRouter.h"
#include "ui/main/MainLayout.h"
#include "ui/main/StatusMarquee.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::store {
class StoreRuntime;
}
namespace quillo::downloads {
class DownloadManager;
}
namespace quillo::playback {
class Player;
class PlayQueue;
enum class PlayMode;
}  // namespace quillo::playback
namespace quillo::service {
class LoginSession;
class PlaylistSync;
class SafeDownloader;
struct ServiceEndpoints;
}  // namespace quillo::service

namespace quillo::ui {

class MainListPanels;
class SeamSongList;
namespace lists {
class ListsSyncView;
}

struct MainWindowParts {
  store::StoreRuntime& runtime;
  playback::Player& player;
  // The service's web site ("" until known), ending with '/'.
  std::function<std::string()> web_site = {};
  std::function<void(const std::string& url)> open_in_browser = {};
  // Runs the shutdown of the program's subsystems (downloads, transfers) before the window goes.
  std::function<void()> on_shut_down = {};
  LaterWindows later = {};
  // The list views' needs. With all three set the window hosts the playlist panel, the song list
  // and the search box; without them, its plain stand-in list.
  service::SafeDownloader* downloader = nullptr;
  const service::ServiceEndpoints* endpoints = nullptr;
  lists::ListsSyncView* sync_view = nullptr;
  // The login dialog and the import commands; unset: those controls do nothing.
  std::function<void()> show_login_dialog = {};
  std::function<void(bool folder)> import_local = {};
  // A dropped folder is imported as "添加本地文件夹" imports it (answers the songs taken);
  // unset: dropped folders are skipped.
  std::function<int(const std::string& folder)> import_folder = {};
};

class SorvelMainDlg : public LayerWnd,
                      public MainActions,
                      public playback::PlayQueueView,
                      public service::LoginWindow,
                      public service::SyncView,
                      public service::SyncPrompt,
                      public downloads::DownloadListener,
                      public lists::ListsHost,
                      public VolumeControl {
 public:
  // Told when "打开歌曲文件夹" finds no music folder and cannot make one; the folder follows.
  static constexpr const char* kMusicFolderMissingText = "歌曲文件夹不存在，也无法创建：";

  explicit SorvelMainDlg(MainWindowParts parts);
  ~SorvelMainDlg() override;

  // Both may change while the window is shown (the service's address arrived): the list views
  // are made again with them.
  void SetPlayQueue(playback::PlayQueue* queue);
  playback::PlayQueue* play_queue() const { return queue_; }
  void SetLoginSession(service::LoginSession* login) { login_ = login; }
  void SetPlaylistSync(service::PlaylistSync* sync);
  // The lyric views (null: none; the lyric buttons are drawn disabled). They must outlive the
  // window or be unset first.
  void SetLyricViews(LyricViewControl* views);
  LyricViewControl* lyric_views() const { return lyric_views_; }
  // Start-up: opens the lyric view unless it was closed when the program last ran.
  void OpenRememberedLyricView();
  // Shown in the caption and the tray tip (the top parent's marquee).
  // Told the title of every song started (the tray tip, the media-player service).
  void SetNowPlayingListener(std::function<void(const std::string& title)> listener) {
    now_playing_listener_ = std::move(listener);
  }
  // The download manager that finds and fetches artist pictures (null: none are shown). The
  // window must also be the manager's listener to see fetched pictures.
  void SetDownloadManager(downloads::DownloadManager* manager);
  // Told the shown artist picture's file after every song start and picture arrival ("": none).
  void SetArtPathListener(std::function<void(const std::string& path)> listener) {
    art_path_listener_ = std::move(listener);
  }
  const ArtistPicture& artist_picture() const { return artist_picture_; }
  bool ShowsArtistPicture() const { return artist_image_.has_value(); }
  // Told the play mode the user chose in the window's or the tray's menu (when it changed).
  void SetPlayModeListener(std::function<void(playback::PlayMode mode)> listener) {
    play_mode_listener_ = std::move(listener);
  }
  void SetCaptionListener(std::function<void(const std::string& title, bool running)> listener) {
    caption_listener_ = std::move(listener);
  }

  // The service's address became known (or will not be): service lists chosen before it are
  // fetched now (or fail).
  void OnServiceKnown(bool available);

  // Creates the window in the stored layout and starts its timers (initialisation steps 2–6).
  bool CreateMain();
  bool mini() const { return mini_; }

  // A command line (own, or a second instance's): a link or a music file.
  // Answers what was acted on: a link handed to the playlist commands, a file added and played,
  // or nothing (not a link, no such file, or a file the library would not take).
  HandedCommandLine::Kind HandleCommandLine(const std::string& text);
  // Dropped paths: each is added to the local library, then the local library is shown.
  int AddDroppedFiles(const std::vector<std::string>& paths);
  // Shows the list's songs in the song list.
  void ShowList(const std::string& list_id);
  void SetStatusText(const std::string& text) override;
  void SetMainTheme(int style);
  void RunCommand(int command_id);

  const StatusMarquee& status() const { return status_; }
  CloseProcedure& close_procedure() { return close_; }
  AttachedWindows& attached() { return attached_; }
  SeamSongList* song_list() const { return song_list_.get(); }
  MainListPanels* list_panels() const { return lists_.get(); }
  int pending_volume() const { return pending_volume_; }
  int panel_width() const { return panel_width_; }
  bool shows_resize_cursor() const { return resize_cursor_; }

  // ---- LayerWnd ---------------------------------------------------------------------------
  void InitLayer() override;
  void DrawAll() override;
  void DrawBackground() override;
  void DrawControl(LayerControl& control) override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnControlPressed(LayerControl& control, int id) override;
  void OnSliderMove(LayerControl& control) override;
  void OnSliderRelease(LayerControl& control) override;
  void DrawSliderTrack(int id) override;
  bool IsDragArea(int x, int y) override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  void OnLButtonUp(const window::MouseEvent& e) override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnLButtonDoubleClick(const window::MouseEvent& e) override;
  void OnRButtonUp(const window::MouseEvent& e) override;
  void OnMouseWheel(const window::MouseEvent& e, int delta_steps) override;
  void OnMove(gfx::Point screen_origin) override;
  void OnSize(gfx::Size size) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnPopupClosed(int first, int second) override;

  // ---- PlayQueueView ----------------------------------------------------------------------
  void ShowPauseButton(bool show_pause) override;
  void ClearTimeDisplay() override;
  void ShowTime(int position_s, int length_s) override;
  void ResetSeekBar() override;
  void ShowVolume(int volume) override;
  void ShowMuted(bool muted) override;
  void SetTitleMarquee(bool running) override;
  void MarkPlayingSong(const std::string& music_id) override;
  void SetCurrentArtist(const std::string& artist_id, const std::string& artist_name) override {
    artist_id_ = artist_id;
    artist_name_ = artist_name;
  }
  void ShowNowPlaying(const std::string& title) override;

  // ---- DownloadListener -------------------------------------------------------------------
  void OnArtistPictureDownloaded(const std::string& artist_id, const std::string& path) override;

  // ---- LoginWindow ------------------------------------------------------------------------
  void ShowAlert(const std::string& text) override;
  void RefreshPlaylistTree() override;
  void ShowUserName(const std::string& user_name) override;
  void Redraw() override;
  void PostLoginRefresh() override;
  bool IsMiniMode() const override { return mini_; }

  // ---- SyncView / SyncPrompt --------------------------------------------------------------
  std::string ShownListId() override;
  std::optional<std::string> SelectedPanelListId() override;
  int RowCount() override;
  std::vector<int> SelectedRows() override;
  std::optional<store::MusicRecord> RowRecord(int row) override;
  void RefreshPlaylistPanel() override;
  void RefreshSongList() override;
  void ShowPlaylistPage() override {}
  void SelectPanelList(const std::string& list_id) override;
  std::optional<std::string> PromptBox(const std::string& title, const std::string& message,
                                       const std::string& initial_text) override;

  // ---- ListsHost --------------------------------------------------------------------------
  void SetListTitle(const std::string& title) override;
  void OnListShown(const std::string& list_id) override;
  void ShowHeaderButtons(lists::ListKind kind) override;
  void OnListScrolled(bool song_list) override;
  void OnPanelPageChanged(lists::PanelPage) override;
  void ShowSongInfo(const store::MusicRecord& record) override;
  void ShowArtistInfo(const store::MusicRecord& record) override;
  void OnListCommand(int command_id) override { RunCommand(command_id); }

  // ---- VolumeControl (the mini layout's popup) ---------------------------------------------
  int Volume() const override;
  void SetVolume(int volume) override;

  // ---- MainActions ------------------------------------------------------------------------
  void Previous() override;
  void Play() override;
  void Pause() override;
  void Next() override;
  void PlaySelected() override;
  bool Muted() const override;
  void SetMuted(bool muted) override;
  void ChoosePlayMode(int command_id) override;
  void Minimize() override;
  void SwitchLayout(bool mini) override;
  void RequestClose() override;
  void Exit() override;
  void FoldMiniList(bool fold) override;
  void SetPanelWidth(int width_px) override;
  void ShowPanelPage(int page) override;
  void ScrollList(bool song_list, int rows) override;
  void ShowVolumePopup(bool open) override;
  void ShowControlMenu(int control_id) override;
  void OpenColorPicker() override;
  void OpenSettings() override;
  void OpenExtPanel(const std::string& relative_address) override;
  void CloseExtPanel() override;
  void OpenLyricView() override;
  void CloseLyricView(bool remember) override;
  void ChooseLyricMode(const std::string& mode) override;
  void ToggleLyricLock() override;
  void OpenMusicFolder() override;
  void OpenPhoneFiles() override;
  void SetPhonePanelMinimized(bool minimized) override;
  void OpenInBrowser(const std::string& url) override;
  std::string WebSite() const override;
  bool Confirm(const std::string& message) override;
  void Login() override;
  void Logout() override;
  bool LoggedIn() const override;
  std::string CurrentUserId() const override;
  void NewRandomBatch() override;
  void ImportLocal(bool folder) override;
  void SortShownList(bool by_artist) override;
  bool ListCommand(int command_id) override;

 private:
  void BuildLayout();
  void AddEntry(const MainControlEntry& entry);
  MainLayoutState LayoutState() const;
  gfx::Rect DefaultNormalRect() const;
  gfx::Rect SavedRect(bool mini) const;
  void SaveGeometry();
  void ShutDown();
  void TickStatus();
  void ApplyPendingVolume();
  void DrawStatusLine();
  void DrawTimeDisplay();
  void DrawSeekFill();
  void DrawVolumeFill();
  void DrawPanel();
  // The playlist panel's scroll bar shows (and the rows narrow for it) only while the rows
  // overflow the panel. Answers whether anything changed (the caller redraws).
  bool FitPanelScrollBar();
  // Moves the normal layout's controls and lists to the current panel width without making the
  // window again (while the splitter is dragged).
  void RelayoutInPlace();
  void SetListBounds(LayerListView& list, int control_id, const gfx::Rect& bounds);
  void DrawArtistPicture();
  // Loads the controller's picture file (none shown when it does not load) and redraws.
  void LoadArtistPicture();
  void ShowMenuAt(const std::vector<window::MenuItem>& items, gfx::Point at);
  void UpdateLoginControls();
  void MoveSeekThumb();
  void MoveSongScrollThumb(double fraction);
  void MoveScrollThumb(int thumb_id, double fraction);
  std::string ConfigText(const char* key, const std::string& fallback = {}) const;
  void SetConfigText(const char* key, const std::string& value);
  bool ControlDisabled(int id) const;
  // The song list's header follows the list shown: its title (29) and, for lists whose panel
  // row has a menu, the arrow (30).
  void UpdateListHeader();
  void DrawListHeaderTitle(LayerControl& control);
  // Makes the window again in its layout (controls, back buffer, list views), keeping its place.
  void Rebuild(bool new_lists);

  MainWindowParts parts_;
  playback::PlayQueue* queue_ = nullptr;
  service::LoginSession* login_ = nullptr;
  service::PlaylistSync* sync_ = nullptr;
  std::function<void(const std::string&, bool)> caption_listener_;
  std::function<void(const std::string&)> now_playing_listener_;
  std::function<void(playback::PlayMode)> play_mode_listener_;
  MainCommandRouter router_{*this};
  CloseProcedure close_;
  StatusMarquee status_;
  AttachedWindows attached_;
  std::unique_ptr<SeamSongList> song_list_;
  std::unique_ptr<MainListPanels> lists_;
  std::string list_title_;
  // "module.device.is_minimized", read at construction.
  bool phone_minimized_ = false;
  std::vector<std::string> panel_lists_;  // the playlist panel's list ids, row by row
  std::vector<std::string> panel_names_;
  int panel_selected_ = 0;
  bool mini_ = false;
  bool folded_ = true;
  bool initialised_ = false;
  bool playing_ = false;
  LyricViewControl* lyric_views_ = nullptr;
  int panel_width_ = 70;
  // The splitter drag: where the press was and the panel's width then (-1: no drag).
  int splitter_press_x_ = -1;
  int splitter_press_width_ = 0;
  bool resize_cursor_ = false;  // the pointer is over the splitter band or drags it
  int pending_volume_ = -1;
  int position_s_ = 0;
  int length_s_ = 0;
  bool seek_dragging_ = false;
  std::string artist_id_;
  std::string artist_name_;
  ArtistPicture artist_picture_;
  std::unique_ptr<DownloadedArtistPictures> picture_source_;
  std::optional<gfx::Surface> artist_image_;
  std::function<void(const std::string&)> art_path_listener_;
  std::string user_name_;
};

}  // namespace quillo::ui
