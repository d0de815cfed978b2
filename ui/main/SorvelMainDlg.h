#pragma once
// The main window: a skinned window in the normal or the mini layout holding the player's
// controls, the status line, the playlist panel and the song list. It draws and routes: its
// controls and menus go through MainCommandRouter to the actions below, the play operations to
// the play surface. Its roles for other parts are small objects of its own: the play display
// (MainPlayView, registered with the play queue's views), the login display (MainLoginView,
// registered with the login session's views) and the mini layout's volume (MainVolumeControl).
//
// Window thread only. Everything in MainWindowParts outlives the window, which is made after
// them; what the window registers with them ends with it.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/loop/ListenerList.h"
#include "platform/loop/Timer.h"
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
#include "ui/main/MainLoginView.h"
#include "ui/main/MainPlayModeButton.h"
#include "ui/main/MainPlayView.h"
#include "ui/main/MainVolumeControl.h"
#include "ui/main/MainWindowListener.h"
#include "ui/main/SongListPointer.h"
#include "ui/main/SpectrumDisplay.h"
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
class PlayQueueViews;
class PlaySurface;
}  // namespace quillo::playback
namespace quillo::service {
class LoginSession;
class LoginViews;
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
  // What plays (the title, the position, the playing song); read only.
  playback::Player& player;
  // The play operations of every control and the volume and mute; null: they do nothing.
  playback::PlaySurface* play = nullptr;
  // Where the window registers its play display and its login display while it exists.
  playback::PlayQueueViews* queue_views = nullptr;
  service::LoginViews* login_views = nullptr;
  // 退出 logs out through it; null: nothing.
  service::LoginSession* login = nullptr;
  // The list commands, links and dropped songs; null: they do nothing.
  service::PlaylistSync* sync = nullptr;
  // Finds and fetches artist pictures; null: none are shown.
  downloads::DownloadManager* downloads = nullptr;
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

class SorvelMainDlg : public LayerWnd, public MainActions, public lists::ListsHost {
 public:
  // Told when "打开歌曲文件夹" finds no music folder and cannot make one; the folder follows.
  static constexpr const char* kMusicFolderMissingText = "歌曲文件夹不存在，也无法创建：";

  explicit SorvelMainDlg(MainWindowParts parts);
  ~SorvelMainDlg() override;

  // The lyric views, for as long as the subscription lives (none: the lyric buttons are drawn
  // disabled).
  [[nodiscard]] loop::Subscription AttachLyricViews(LyricViewControl& views);
  LyricViewControl* lyric_views() const { return lyric_views_.First(); }
  // Start-up: opens the lyric view unless it was closed when the program last ran.
  void OpenRememberedLyricView();
  // Told of every song start and artist picture, while the subscription lives.
  // Where a tray icon shows (`shown` answers, asked at each minimise), minimising hides the
  // window to it; elsewhere it goes to the taskbar. Registered while the subscription lives.
  [[nodiscard]] loop::Subscription SetTrayPresence(std::function<bool()> shown) {
    tray_shown_ = std::move(shown);
    return loop::Subscription([this] { tray_shown_ = nullptr; });
  }
  [[nodiscard]] loop::Subscription AddListener(MainWindowListener& listener) {
    return listeners_.Add(listener);
  }
  const ArtistPicture& artist_picture() const { return artist_picture_; }
  bool ShowsArtistPicture() const { return artist_image_.has_value(); }
  // Shown in the caption and the tray tip (the top parent's marquee, set once by its owner).
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
  void SetStatusText(const std::string& text);
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
  void OnMouseLeave() override;
  bool OnKeyDown(const window::KeyEvent& e) override;
  void OnCaptureLost() override;
  void OnMouseWheel(const window::MouseEvent& e, int delta_steps) override;
  void OnMove(gfx::Point screen_origin) override;
  void OnSize(gfx::Size size) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnPopupClosed(int first, int second) override;

  // ---- The play display (MainPlayView passes the play queue's news here) --------------------
  void ShowPauseButton(bool show_pause);
  void ClearTimeDisplay();
  void ShowTime(int position_s, int length_s);
  void ResetSeekBar();
  void ShowVolume(int volume);
  void ShowMuted(bool muted);
  // The play-mode button shows the mode's picture.
  void ShowPlayMode(playback::PlayMode mode);
  void SetTitleMarquee(bool running);
  void MarkPlayingSong(const std::string& music_id);
  void SetCurrentArtist(const std::string& artist_id, const std::string& artist_name) {
    artist_id_ = artist_id;
    artist_name_ = artist_name;
  }
  void ShowNowPlaying(const std::string& title);

  // The download manager brought an artist's picture.
  void OnArtistPictureDownloaded(const std::string& artist_id, const std::string& path);

  // ---- The login display (MainLoginView passes the login session's news here) ---------------
  void ShowAlert(const std::string& text);
  void RefreshPlaylistTree();
  void ShowUserName(const std::string& user_name);
  void Redraw();
  void PostLoginRefresh();
  bool IsMiniMode() const { return mini_; }

  // ---- The lists ----------------------------------------------------------------------------
  int RowCount();
  void RefreshSongList();

  // ---- ListsHost --------------------------------------------------------------------------
  void SetListTitle(const std::string& title) override;
  void OnListShown(const std::string& list_id) override;
  void ShowHeaderButtons(lists::ListKind kind) override;
  void OnListScrolled(bool song_list) override;
  void OnPanelPageChanged(lists::PanelPage) override;
  void ShowSongInfo(const store::MusicRecord& record) override;
  void ShowArtistInfo(const store::MusicRecord& record) override;
  void OnListCommand(int command_id) override { RunCommand(command_id); }

  // ---- MainActions ------------------------------------------------------------------------
  int Volume() const override;
  void SetVolume(int volume) override;
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
  void OpenEqualizer() override;
  void OpenExtPanel(const std::string& relative_address) override;
  void CloseExtPanel() override;
  void OpenLyricView() override;
  void CloseLyricView(bool remember) override;
  void ChooseLyricMode(const std::string& mode) override;
  void ToggleLyricLock() override;
  void OpenMusicFolder() override;
  void OpenPhoneFiles() override;
  void SetPhonePanelMinimized(bool minimized) override;
  // The phone panel tells the window that a phone arrived or left (the lists and the layout
  // change) or that its own band needs drawing again. Window thread.
  void OnPhoneChanged();
  void RedrawPhonePanel();
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
  // The lists' height given up to the phone panel (0 without a connected phone).
  int PhoneBand() const;
  void DrawNormalBackground(gfx::Painter& p);
  // The spectrum follows the player on the status timer's ticks; drawn only when it moved.
  void TickSpectrum();
  // The panel and the song list follow every change of the library and the lists, whoever made
  // it (a file handed over, a download, the service's answer): checked on the status ticks.
  void FollowStoreLists();
  void DrawSpectrum();
  // The border the normal layout is resized by (right, bottom, the corner), or none.
  std::optional<window::ResizeEdge> ResizeEdgeAt(gfx::Point p) const;
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
  std::function<void(const std::string&, bool)> caption_listener_;
  loop::ListenerList<MainWindowListener> listeners_;
  loop::ListenerList<LyricViewControl> lyric_views_;
  MainCommandRouter router_{*this};
  CloseProcedure close_;
  StatusMarquee status_;
  AttachedWindows attached_;
  std::unique_ptr<SeamSongList> song_list_;
  std::unique_ptr<MainListPanels> lists_;
  SongListPointer song_pointer_{*this};
  SpectrumDisplay spectrum_;
  std::function<bool()> tray_shown_;
  std::uint64_t lists_seen_ = 0;  // the store's lists revision the panel and list show
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
  int panel_width_ = 70;
  // The splitter drag: where the press was and the panel's width then (-1: no drag).
  int splitter_press_x_ = -1;
  int splitter_press_width_ = 0;
  bool resize_cursor_ = false;  // the pointer is over the splitter band or drags it
  // The skin's normal background in nine pieces: the bands kept whole at each side.
  static constexpr int kBackgroundLeft = 110, kBackgroundRight = 16;
  static constexpr int kBackgroundTop = 140, kBackgroundBottom = 30;
  // The border the window is resized by, and its bottom-right corner.
  static constexpr int kResizeBorder = 4, kResizeCorner = 12;
  gfx::Size laid_out_size_;
  int pending_volume_ = -1;
  int position_s_ = 0;
  int length_s_ = 0;
  bool seek_dragging_ = false;
  std::string artist_id_;
  std::string artist_name_;
  ArtistPicture artist_picture_;
  std::unique_ptr<DownloadedArtistPictures> picture_source_;
  std::optional<gfx::Surface> artist_image_;
  std::string user_name_;
  // The window's roles for other parts, registered while the window exists.
  MainPlayView play_view_{*this};
  MainLoginView login_view_{*this};
  MainVolumeControl volume_control_{*this};
  MainPlayModeButton play_mode_button_{*this};
  loop::Subscription play_view_registration_;
  loop::Subscription play_mode_registration_;
  loop::Subscription login_view_registration_;
  // Timers 105 (status marquee), 107 (pending volume) and 108 (phone animation); last among
  // what their tasks use, so they stop first.
  loop::Timer status_timer_;
  loop::Timer volume_timer_;
  loop::Timer phone_timer_;
  // Lets a registration that outlives the window do nothing.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace quillo::ui
