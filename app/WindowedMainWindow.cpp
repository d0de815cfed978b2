#include "app/WindowedMainWindow.h"

#include "app/AppConstants.h"
#include "app/DesktopLink.h"
#include "app/HeadlessMainWindow.h"
#include "app/ReportingLoginWindow.h"
#include "app/ReportingQueueView.h"
#include "app/ServiceRuntime.h"
#include "downloads/DownloadManager.h"
#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricCacheSink.h"
#include "lyrics/LyricFetcher.h"
#include "lyrics/LyricSavePrompt.h"
#include "lyrics/PlayerLyricInfo.h"
#include "lyrics/SafeDownloaderLyricTransfers.h"
#include "platform/desktop/DesktopNotifier.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "platform/shell/DetachedLauncher.h"
#include "platform/window/GtkFilePicker.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayCache.h"
#include "playback/PlayQueue.h"
#include "playback/PlayQueueSyncPlayback.h"
#include "playback/SongSelectBox.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceFileUrls.h"
#include "service/api/ServicePages.h"
#include "service/sync/NoPhone.h"
#include "service/sync/PlaylistSync.h"
#include "store/StoreRuntime.h"
#include "ui/dialogs/LocalImportCommands.h"
#include "ui/dialogs/LoginDialogs.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/lists/ListsSyncView.h"
#include "ui/lyricviews/LyricViews.h"
#include "ui/main/TopParentDlg.h"

namespace quillo::app {
namespace {

// The play queue's selection box is the program's select message box.
class MessageSongSelectBox : public playback::SongSelectBox {
 public:
  std::optional<int> Select(const std::string& message, const std::vector<std::string>& options,
                            int preselected) override {
    int chosen = preselected;
    const std::string pre =
        preselected >= 0 && preselected < int(options.size()) ? options[preselected] : "";
    if (!ui::SelectBox(message, options, pre, chosen)) return std::nullopt;
    return chosen;
  }
};

// A changed lyric is offered for saving with the program's yes/no box, over the main window when
// one is given.
class BoxLyricSavePrompt : public lyrics::LyricSavePrompt {
 public:
  explicit BoxLyricSavePrompt(ui::LayerWnd* owner = nullptr) : owner_(owner) {}
  void SetOwner(ui::LayerWnd* owner) { owner_ = owner; }
  bool AskYesNo(std::string_view question) override {
    return ui::ConfirmBox(std::string(question), owner_);
  }

 private:
  ui::LayerWnd* owner_;
};

// Lyrics fetched for playback count against the play cache under kind "lyric".
class PlayCacheLyricSink : public lyrics::LyricCacheSink {
 public:
  explicit PlayCacheLyricSink(playback::PlayCache& cache) : cache_(cache) {}
  void AddLyric(const std::string& music_id, const std::string& path) override {
    cache_.Add(playback::PlayCache::kLyricKind, music_id, path);
  }

 private:
  playback::PlayCache& cache_;
};

// The download manager's news goes to the main window (artist pictures) and to the lyric
// analyzer (a queued lyric arrived or failed).
class WindowDownloadListener : public downloads::DownloadListener {
 public:
  WindowDownloadListener(ui::SorvelMainDlg& window, lyrics::LyricAnalyzer& analyzer)
      : window_(window), analyzer_(analyzer) {}
  void OnLyricDownloaded(const std::string& music_id,
                         const std::optional<std::string>& path) override {
    analyzer_.LoadIfCurrent(music_id, path);
  }
  void OnSongFinished(const std::string& music_id, bool filed) override {
    window_.OnSongFinished(music_id, filed);
  }
  void OnArtistPictureDownloaded(const std::string& artist_id, const std::string& path) override {
    window_.OnArtistPictureDownloaded(artist_id, path);
  }

 private:
  ui::SorvelMainDlg& window_;
  lyrics::LyricAnalyzer& analyzer_;
};

// The desktop's opener picks the default browser (or file manager for a folder).
void OpenInDefaultBrowser(const std::string& url) {
  shell::LaunchDetached({"xdg-open", url}, shell::ChildOutput::kDiscard);
}

}  // namespace

struct WindowedMainWindow::Parts {
  explicit Parts(playback::PlayCache& cache) : lyric_cache(cache) {}

  audio::GstMediaGraphFactory graphs;
  std::unique_ptr<playback::MediaPlayer> player;
  // The one lyric document of the program, fed by the fetcher at every song start.
  std::unique_ptr<lyrics::PlayerLyricInfo> lyric_info;
  std::unique_ptr<lyrics::LyricAnalyzer> analyzer;
  std::unique_ptr<lyrics::SafeDownloaderLyricTransfers> lyric_transfers;
  PlayCacheLyricSink lyric_cache;
  BoxLyricSavePrompt plain_prompt;   // a download replaces a changed lyric: no parent window
  BoxLyricSavePrompt window_prompt;  // song starts and the close: over the main window
  std::unique_ptr<lyrics::LyricFetcher> fetcher;
  downloads::DownloadManager* downloads = nullptr;
  std::unique_ptr<WindowDownloadListener> download_listener;
  MessageSongSelectBox select_box;
  ui::lists::ListsSyncView sync_view;
  service::NoPhone phone;
  window::GtkFilePicker chooser;
  std::unique_ptr<ui::LoginDialogs> login_dialogs;
  std::unique_ptr<ui::LocalImportCommands> import;
  std::unique_ptr<ui::TopParentDlg> top;
  std::unique_ptr<ReportingQueueView> queue_view;
  std::unique_ptr<ReportingLoginWindow> login_window;
  std::unique_ptr<playback::PlayQueue> queue;
  std::unique_ptr<playback::PlayQueueSyncPlayback> sync_playback;
  std::unique_ptr<service::PlaylistSync> sync;
  std::unique_ptr<DesktopLink> desktop;
  std::unique_ptr<desktop::DesktopNotifier> notifier;
  std::unique_ptr<ui::LyricViews> lyric_views;
};

WindowedMainWindow::WindowedMainWindow(loop::MainLoop& loop, store::StoreRuntime& runtime,
                                       ServiceRuntime& service_runtime, playback::PlayCache& cache,
                                       downloads::DownloadManager* downloads,
                                       HeadlessMainWindow& reporter)
    : loop_(loop),
      runtime_(runtime),
      service_runtime_(service_runtime),
      cache_(cache),
      reporter_(reporter),
      parts_(std::make_unique<Parts>(cache)) {
  parts_->downloads = downloads;
  parts_->player = std::make_unique<playback::MediaPlayer>(
      playback::MediaPlayer::Services{loop_, parts_->graphs, service_runtime_.downloader(),
                                      runtime_.store(), &runtime_.library(), &cache_});
  parts_->lyric_info = std::make_unique<lyrics::PlayerLyricInfo>(*parts_->player);
  parts_->analyzer = std::make_unique<lyrics::LyricAnalyzer>(parts_->lyric_info.get());
  parts_->lyric_transfers =
      std::make_unique<lyrics::SafeDownloaderLyricTransfers>(service_runtime_.downloader());
  parts_->analyzer->SetFetchParts(lyrics::LyricAnalyzer::FetchParts{
      parts_->lyric_transfers.get(), &parts_->lyric_cache, &service_runtime_.sender(),
      &runtime_.store(), &parts_->plain_prompt});
  ui::MainWindowParts window_parts{runtime_,
                                   *parts_->player,
                                   [this] {
                                     std::string site =
                                         endpoints_ ? endpoints_->base_url : std::string();
                                     if (!site.empty() && site.back() != '/') site += '/';
                                     return site;
                                   },
                                   [](const std::string& url) { OpenInDefaultBrowser(url); },
                                   [this] {
                                     // A changed lyric is offered for saving before the end.
                                     if (parts_->fetcher) parts_->fetcher->SaveAtClose();
                                     reporter_.Report("main window closed");
                                     reporter_.Close();
                                   },
                                   {}};
  window_parts.downloader = &service_runtime_.downloader();
  window_parts.endpoints = &service_runtime_.endpoints();
  window_parts.sync_view = &parts_->sync_view;
  window_parts.show_login_dialog = [this] {
    if (parts_->login_dialogs) parts_->login_dialogs->ShowLoginDialog();
  };
  window_parts.import_local = [this](bool folder) {
    if (!parts_->import) return;
    const int count = folder ? parts_->import->ImportFolder() : parts_->import->ImportFiles();
    reporter_.Report("imported: " + std::to_string(count));
  };
  window_parts.import_folder = [this](const std::string& folder) {
    return parts_->import ? parts_->import->ImportFolderAt(folder) : 0;
  };
  parts_->top = std::make_unique<ui::TopParentDlg>(loop_, std::move(window_parts));
  ui::SorvelMainDlg& window = parts_->top->main_window();
  parts_->login_dialogs = std::make_unique<ui::LoginDialogs>(
      runtime_.playlists(), service::ServicePages(service_runtime_.endpoints()),
      ui::LoginDialogs::Links{[&window](const std::string& url) { window.OpenInBrowser(url); },
                              [&window](const std::string& url) { window.OpenInBrowser(url); }});
  parts_->login_dialogs->SetOwner(&window);
  parts_->window_prompt.SetOwner(&window);
  parts_->download_listener = std::make_unique<WindowDownloadListener>(window, *parts_->analyzer);
  parts_->import = std::make_unique<ui::LocalImportCommands>(
      runtime_.library(), runtime_.playlists(), parts_->chooser,
      ui::LocalImportCommands::Folders{runtime_.store().FolderPath("music"),
                                       runtime_.store().data_folder()},
      [&window](bool) {
        window.RefreshPlaylistTree();
        window.ShowList("local");
      });
  parts_->import->SetOwner(&window);
}

WindowedMainWindow::~WindowedMainWindow() {
  if (parts_->downloads) {
    parts_->downloads->SetListener(nullptr);
    parts_->top->main_window().SetDownloadManager(nullptr);
  }
  parts_->top->main_window().SetLyricViews(nullptr);
  parts_->lyric_views.reset();
  parts_->desktop.reset();
  // The playlist commands and the queue listen to the player and the window; they go first, the
  // player last.
  parts_->top->main_window().SetPlaylistSync(nullptr);
  parts_->sync.reset();
  parts_->sync_playback.reset();
  parts_->queue.reset();
  parts_->fetcher.reset();
  parts_->top.reset();
  // The analyzer's transfers end before it goes (the downloader calls it back until then).
  parts_->analyzer->Reset();
  service_runtime_.downloader().Cancel(parts_->analyzer->refresh_download_id());
  parts_->player.reset();
}

void WindowedMainWindow::MakeQueue() {
  parts_->sync.reset();
  parts_->sync_playback.reset();
  parts_->queue.reset();
  parts_->fetcher.reset();
  service::ServiceEndpoints endpoints = endpoints_.value_or(service::ServiceEndpoints{});
  parts_->fetcher = std::make_unique<lyrics::LyricFetcher>(
      lyrics::LyricFetcher::Parts{*parts_->analyzer,
                                  runtime_.store(),
                                  runtime_.library(),
                                  *parts_->player,
                                  parts_->window_prompt,
                                  service::ServiceFileUrls(endpoints, runtime_.store().ClientId()),
                                  parts_->downloads,
                                  {},
                                  {}});
  if (!parts_->queue_view) {
    parts_->queue_view = std::make_unique<ReportingQueueView>(
        parts_->top->main_window(), [this](const std::string& line) { reporter_.Report(line); });
  }
  parts_->queue = std::make_unique<playback::PlayQueue>(playback::PlayQueue::Parts{
      runtime_.store(), runtime_.library(), runtime_.playlists(), runtime_.queue(), *parts_->player,
      *parts_->queue_view, parts_->select_box, loop_,
      service::ServiceFileUrls(endpoints, runtime_.store().ClientId()), parts_->fetcher.get(),
      &service_runtime_.statistics()});
  parts_->sync_playback = std::make_unique<playback::PlayQueueSyncPlayback>(
      playback::PlayQueueSyncPlayback::Parts{runtime_.store(), runtime_.playlists(),
                                             runtime_.queue(), *parts_->queue, *parts_->player});
  parts_->sync = std::make_unique<service::PlaylistSync>(service::PlaylistSync::Parts{
      runtime_.store(), runtime_.library(), runtime_.playlists(), service_runtime_.sender(),
      service_runtime_.request_sender(), parts_->sync_view, parts_->top->main_window(),
      *parts_->sync_playback, parts_->phone});
  parts_->top->main_window().SetPlayQueue(parts_->queue.get());
  parts_->top->main_window().SetPlaylistSync(parts_->sync.get());
}

service::LoginWaitingDialog& WindowedMainWindow::waiting_dialog() {
  return *parts_->login_dialogs;
}

bool WindowedMainWindow::Open() {
  // A service address known from the configuration has made the queue already.
  if (!parts_->queue) MakeQueue();
  if (!parts_->top->Init()) return false;
  ui::SorvelMainDlg& window = parts_->top->main_window();
  // The window shows the playing artist's picture, fetched by the download manager, which also
  // brings back the lyrics the fetcher queues.
  if (parts_->downloads) {
    window.SetDownloadManager(parts_->downloads);
    parts_->downloads->SetListener(parts_->download_listener.get());
  }
  if (window.presenter()) {
    window.presenter()->SetFileDropHandler([this](const std::vector<std::string>& paths) {
      const int added = parts_->top->main_window().AddDroppedFiles(paths);
      reporter_.Report("dropped: " + std::to_string(added) + " added");
    });
  }
  parts_->desktop = std::make_unique<DesktopLink>(loop_, window, *parts_->player, runtime_);
  parts_->desktop->Start();
  window.SetNowPlayingListener(
      [this](const std::string& title) { parts_->desktop->OnNowPlaying(title); });
  window.SetArtPathListener([this](const std::string& path) { parts_->desktop->SetArtPath(path); });
  reporter_.Report(parts_->desktop->tray_shown() ? "tray icon shown" : "no tray on this desktop");
  MakeLyricViews();
  reporter_.Report("main window shown");
  reporter_.Report("song list: " + std::to_string(window.RowCount()) + " rows");
  return true;
}

lyrics::LyricAnalyzer& WindowedMainWindow::analyzer() {
  return *parts_->analyzer;
}

void WindowedMainWindow::MakeLyricViews() {
  ui::SorvelMainDlg& window = parts_->top->main_window();
  parts_->notifier = desktop::CreateSessionBusNotifier(std::string(kProductName));
  ui::LyricViews::Links links;
  links.play_previous = [this] {
    if (parts_->queue) parts_->queue->PlayPrevious(true);
  };
  links.play_next = [this] {
    if (parts_->queue) parts_->queue->PlayNext(true);
  };
  links.replay_current = [this] {
    if (parts_->queue) parts_->queue->ReplayCurrent();
  };
  links.service_base_url = [this] {
    std::string base = endpoints_ ? endpoints_->base_url : std::string();
    if (!base.empty() && base.back() != '/') base += '/';
    return base;
  };
  links.notify = [this](const std::string& title, const std::string& text) {
    if (parts_->notifier) parts_->notifier->Notify(title, text);
  };
  parts_->lyric_views = std::make_unique<ui::LyricViews>(
      loop_, window,
      ui::LyricViews::Sources{runtime_.store(), runtime_.playlists(), *parts_->analyzer,
                              *parts_->player, &parts_->chooser},
      std::move(links));
  window.SetLyricViews(parts_->lyric_views.get());
  // Start-up: the view the user left open comes back.
  window.OpenRememberedLyricView();
}

ui::SorvelMainDlg& WindowedMainWindow::main_window() {
  return parts_->top->main_window();
}
service::LoginWindow& WindowedMainWindow::login_window() {
  if (!parts_->login_window) {
    parts_->login_window = std::make_unique<ReportingLoginWindow>(
        parts_->top->main_window(), [this](const std::string& line) { reporter_.Report(line); });
  }
  return *parts_->login_window;
}

void WindowedMainWindow::SetLoginSession(service::LoginSession* login) {
  parts_->login_dialogs->SetSession(login);
  parts_->top->main_window().SetLoginSession(login);
}

void WindowedMainWindow::OnServiceEndpoints(const service::ServiceEndpoints& endpoints) {
  endpoints_ = endpoints;
  // The login dialog's links follow the address that became known.
  if (parts_->login_dialogs) parts_->login_dialogs->SetPages(service::ServicePages(endpoints));
  MakeQueue();
  // Service lists chosen while the embedded service was starting are fetched now.
  parts_->top->main_window().OnServiceKnown(true);
}

void WindowedMainWindow::OnServiceUnavailable() {
  parts_->top->main_window().OnServiceKnown(false);
}

void WindowedMainWindow::HandleCommandLine(const std::string& text) {
  switch (parts_->top->main_window().HandleCommandLine(text)) {
    case ui::HandedCommandLine::Kind::kAddLink:
      reporter_.Report("window: link handled");
      break;
    case ui::HandedCommandLine::Kind::kFile:
      reporter_.Report("window: file added and played");
      break;
    case ui::HandedCommandLine::Kind::kNothing:
      reporter_.Report("window: nothing to do with the command line");
      break;
  }
}

void WindowedMainWindow::HandleHandOver(const ipc::HandOverMessage& message) {
  ui::SorvelMainDlg& window = parts_->top->main_window();
  switch (message.kind) {
    case ipc::HandOverKind::kCommandLine:
      HandleCommandLine(message.command_line);
      break;
    case ipc::HandOverKind::kActivate:
      if (window.IsCreated()) {
        window.Show();
        window.BringToFront();
      }
      break;
    case ipc::HandOverKind::kQuit:
    case ipc::HandOverKind::kHandled:
      break;
  }
}

void WindowedMainWindow::Quit() {
  ui::SorvelMainDlg& window = parts_->top->main_window();
  if (window.IsCreated()) window.Exit();
}

}  // namespace quillo::app
