#include "app/WindowedMainWindow.h"

#include "app/AppConstants.h"
#include "app/DesktopLink.h"
#include "app/DownloadFailureNotice.h"
#include "app/HeadlessMainWindow.h"
#include "app/MusicCentreWiring.h"
#include "app/ReportingQueueView.h"
#include "app/ReportingWindowView.h"
#include "app/ServiceRuntime.h"
#include "app/WindowPrompts.h"
#include "downloads/DownloadListener.h"
#include "downloads/DownloadManager.h"
#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricCacheSink.h"
#include "lyrics/LyricFetcher.h"
#include "lyrics/PlayerLyricInfo.h"
#include "lyrics/SafeDownloaderLyricTransfers.h"
#include "platform/desktop/DesktopNotifier.h"
#include "platform/gfx/FontconfigFamilies.h"
#include "platform/loop/Subscription.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "platform/shell/Autorun.h"
#include "platform/shell/DetachedLauncher.h"
#include "platform/window/GtkFilePicker.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayCache.h"
#include "playback/PlayQueue.h"
#include "playback/PlayQueueSyncPlayback.h"
#include "playback/PlayQueueViews.h"
#include "playback/QueuePlaySurface.h"
#include "playback/SongSelectBox.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceFileUrls.h"
#include "service/api/ServicePages.h"
#include "service/session/LoginViews.h"
#include "service/sync/PlaylistSync.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "device/PhoneDetector.h"
#include "media/MediaTagAccess.h"
#include "platform/drives/MountWatcher.h"
#include "ui/dialogs/CopyDeviceConfirmDlg.h"
#include "ui/dialogs/LocalImportCommands.h"
#include "ui/dialogs/OpenDeviceLoadingDlg.h"
#include "ui/dialogs/LoginDialogs.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/dialogs/SettingsWindows.h"
#include "ui/lists/ListsSyncView.h"
#include "ui/lyricviews/LyricDlg.h"
#include "ui/lyricviews/LyricViews.h"
#include "ui/main/MainWindowListener.h"
#include "ui/main/TopParentDlg.h"
#include "ui/phone/PhonePanel.h"

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
  void OnArtistPictureDownloaded(const std::string& artist_id, const std::string& path) override {
    window_.OnArtistPictureDownloaded(artist_id, path);
  }

 private:
  ui::SorvelMainDlg& window_;
  lyrics::LyricAnalyzer& analyzer_;
};

// The run's output follows the song list: a line whenever its number of rows changes, so that
// whoever watches the run sees a list arrive.
class SongListReporter : public ui::MainWindowListener {
 public:
  explicit SongListReporter(std::function<void(const std::string&)> report)
      : report_(std::move(report)) {}
  void OnSongListChanged(int rows) override {
    if (rows == rows_) return;
    rows_ = rows;
    report_("song list: " + std::to_string(rows) + " rows");
  }

 private:
  std::function<void(const std::string&)> report_;
  int rows_ = -1;
};

// The desktop's opener picks the default browser (or file manager for a folder).
void OpenInDefaultBrowser(const std::string& url) {
  shell::LaunchDetached({"xdg-open", url}, shell::ChildOutput::kDiscard);
}

// The service's web site, ending with '/' ("" until the address is known): the base URL, which
// the endpoints always end with '/'.
std::string WebSiteOf(const service::SharedEndpoints& endpoints) {
  return endpoints.Get().base_url;
}

}  // namespace

// What the program adds to the main window besides the parts: each runs in the window's run.
struct WindowHooks {
  std::function<void()> on_shut_down;
  std::function<void()> show_login_dialog;
  std::function<void(bool folder)> import_local;
  std::function<int(const std::string& folder)> import_folder;
};

// Members in dependency order: each uses only those above it, so destruction (bottom up) never
// leaves a part holding one that is gone.
struct WindowedMainWindow::Parts {
  Parts(loop::MainLoop& loop, store::StoreRuntime& runtime, ServiceRuntime& service,
        playback::PlayCache& cache, downloads::DownloadManager& downloads,
        service::LoginSession& login, service::LoginViews& login_views, WindowHooks hooks,
        std::function<void(const std::string&)> report, std::function<void(bool)> imported)
      : player(playback::MediaPlayer::Services{loop, graphs, service.downloader(), runtime.store(),
                                               &runtime.library(), &cache}),
        lyric_transfers(service.downloader()),
        lyric_info(player),
        lyric_cache(cache),
        analyzer(&lyric_info),
        fetcher(lyrics::LyricFetcher::Parts{
            analyzer, runtime.store(), runtime.library(), player, prompts,
            service::ServiceFileUrls(service.endpoints(), runtime.store().ClientId()), &downloads,
            {}, {}}),
        reporting_view(report),
        reporting_registration(queue_views.Add(reporting_view)),
        queue(playback::PlayQueue::Parts{
            runtime.store(), runtime.library(), runtime.playlists(), runtime.queue(), player,
            queue_views, select_box, loop,
            service::ServiceFileUrls(service.endpoints(), runtime.store().ClientId()), &fetcher,
            &service.statistics()}),
        play(queue, player, runtime.store()),
        phone(loop, runtime, &phone_tags),
        sync_playback(playback::PlayQueueSyncPlayback::Parts{runtime.store(), runtime.playlists(),
                                                             runtime.queue(), play, player}),
        sync(service::PlaylistSync::Parts{runtime.store(), runtime.library(), runtime.playlists(),
                                          service.sender(), service.request_sender(), sync_view,
                                          prompts, sync_playback, phone}),
        login_dialogs(runtime.playlists(), service::ServicePages(service.endpoints()),
                      LoginLinks(service.endpoints())),
        import(runtime.library(), runtime.playlists(), chooser,
               ui::LocalImportCommands::Folders{runtime.store().FolderPath("music"),
                                                runtime.store().data_folder()},
               std::move(imported)),
        centre(MusicCentreWiring::Parts{loop, runtime, service, sync, queue, login, downloads,
                                        &chooser, [this] { login_dialogs.ShowLoginDialog(); },
                                        report}),
        top(loop, WindowParts(runtime, service, downloads, login, login_views, std::move(hooks))),
        settings(SettingsParts(loop, runtime, downloads)),
        prompt_owner(prompts.SetOwner(top.main_window())),
        waiting_dialog_registration(login_views.AddWaitingDialog(login_dialogs)),
        download_listener(top.main_window(), analyzer),
        download_listening(downloads.AddListener(download_listener)),
        failure_notice(runtime.library(),
                       DownloadFailureNotice::Outputs{
                           [this](const std::string& text) { top.main_window().SetStatusText(text); },
                           [this](const std::string& title, const std::string& body) {
                             if (notifier) notifier->Notify(title, body);
                           },
                           report}),
        failure_notice_listening(downloads.AddListener(failure_notice)),
        list_reporter(report),
        list_reporting(top.main_window().AddListener(list_reporter)),
        window_report(std::move(report)),
        window_report_registration(top.main_window().AddListener(window_report)) {
    // A lyric replaced by a download asks without a parent window (plain_prompt has no owner).
    analyzer.SetFetchParts(lyrics::LyricAnalyzer::FetchParts{
        &lyric_transfers, &lyric_cache, &service.sender(), &runtime.store(), &plain_prompt});
    login_dialogs.SetSession(&login);
    login_dialogs.SetOwner(&top.main_window());
    import.SetOwner(&top.main_window());
  }

  // "申请帐号" opens the registration page in the music centre, beside the main window.
  ui::LoginDialogs::Links LoginLinks(const service::SharedEndpoints& endpoints) {
    ui::LoginDialogs::Links links;
    links.open_hosted_page = [this, &endpoints](const std::string& url) {
      const std::string base = WebSiteOf(endpoints);
      if (!base.empty() && url.compare(0, base.size(), base) == 0) {
        top.main_window().OpenExtPanel(url.substr(base.size()));
      } else {
        OpenInDefaultBrowser(url);
      }
    };
    return links;
  }

  // The settings dialog's effects reach the parts that exist when it applies.
  ui::SettingsWindows::Parts SettingsParts(loop::MainLoop& loop, store::StoreRuntime& runtime,
                                           downloads::DownloadManager& downloads) {
    ui::NewConfigEffects effects;
    effects.set_autorun = [](bool on) {
      // A failure shows the next time the dialog opens (it reads the entry back).
      if (on) {
        shell::RegisterAutorun();
      } else {
        shell::UnregisterAutorun();
      }
    };
    effects.relocate_music_folder = [&library = runtime.library()](const std::string& path) {
      library.RelocateFolder("music", path);
    };
    effects.reload_lyric_looks = [this] {
      if (lyric_views) lyric_views->ReloadLooks();
    };
    effects.counts_changed = [&downloads] { downloads.Schedule(); };
    return ui::SettingsWindows::Parts{loop,
                                      runtime.store(),
                                      player,
                                      &fonts,
                                      &chooser,
                                      [] { return shell::IsAutorunRegistered(); },
                                      std::move(effects),
                                      [this]() -> ui::LayerWnd* { return &top.main_window(); }};
  }

  ui::MainWindowParts WindowParts(store::StoreRuntime& runtime, ServiceRuntime& service,
                                  downloads::DownloadManager& downloads,
                                  service::LoginSession& login, service::LoginViews& login_views,
                                  WindowHooks hooks) {
    const service::SharedEndpoints& endpoints = service.endpoints();
    ui::MainWindowParts parts{runtime, player};
    parts.play = &play;
    parts.queue_views = &queue_views;
    parts.login_views = &login_views;
    parts.login = &login;
    parts.sync = &sync;
    parts.later.phone = &phone;
    parts.downloads = &downloads;
    parts.web_site = [&endpoints] { return WebSiteOf(endpoints); };
    parts.open_in_browser = [](const std::string& url) { OpenInDefaultBrowser(url); };
    parts.on_shut_down = std::move(hooks.on_shut_down);
    parts.downloader = &service.downloader();
    parts.endpoints = &endpoints.Get();
    parts.sync_view = &sync_view;
    parts.show_login_dialog = std::move(hooks.show_login_dialog);
    parts.import_local = std::move(hooks.import_local);
    parts.import_folder = std::move(hooks.import_folder);
    parts.later.settings = &settings;
    parts.later.hosted_pages = &centre.panel();
    parts.later.equalizer = &settings;
    return parts;
  }

  // Playback.
  audio::GstMediaGraphFactory graphs;
  playback::MediaPlayer player;
  // The one lyric document. Its transfers are made before it: the analyzer's destructor cancels
  // its downloads through them.
  lyrics::SafeDownloaderLyricTransfers lyric_transfers;
  lyrics::PlayerLyricInfo lyric_info;
  PlayCacheLyricSink lyric_cache;
  WindowPrompts prompts;       // over the main window while it lives
  WindowPrompts plain_prompt;  // never given an owner
  lyrics::LyricAnalyzer analyzer;
  lyrics::LyricFetcher fetcher;
  // The play queue and its surface. The queue's view is the relay the reporter and the window
  // register with.
  playback::PlayQueueViews queue_views;
  ReportingQueueView reporting_view;
  loop::Subscription reporting_registration;
  MessageSongSelectBox select_box;
  playback::PlayQueue queue;
  playback::QueuePlaySurface play;
  // The playlist commands.
  ui::lists::ListsSyncView sync_view;
  // The connected phone: its lists, the copies to it and its panel in the main window.
  media::MediaTagAccess phone_tags;
  ui::PhonePanel phone;
  playback::PlayQueueSyncPlayback sync_playback;
  service::PlaylistSync sync;
  // The window and its dialogs.
  window::GtkFilePicker chooser;
  gfx::FontconfigFamilies fonts;
  ui::LoginDialogs login_dialogs;
  ui::LocalImportCommands import;
  // The music centre and the other page windows: the window holds its panel from the start.
  MusicCentreWiring centre;
  ui::TopParentDlg top;
  // The settings dialog and the equaliser: the window reaches them (it is only given their
  // address before they are made, and calls them on the user's request), and they go before it
  // (the equaliser leaves the window's attached windows as it closes).
  ui::SettingsWindows settings;
  // Registrations with and of the window: they end before it.
  loop::Subscription prompt_owner;
  loop::Subscription waiting_dialog_registration;
  WindowDownloadListener download_listener;
  loop::Subscription download_listening;
  // A failed download names its song (its notice uses the notifier made when the window opens).
  DownloadFailureNotice failure_notice;
  loop::Subscription failure_notice_listening;
  SongListReporter list_reporter;
  loop::Subscription list_reporting;
  ReportingWindowView window_report;
  loop::Subscription window_report_registration;
  // Made when the window opens.
  std::unique_ptr<desktop::DesktopNotifier> notifier;
  std::unique_ptr<DesktopLink> desktop;
  std::unique_ptr<ui::LyricViews> lyric_views;
  loop::Subscription lyric_views_attached;
  // Phones plugged in and pulled out.
  std::unique_ptr<device::PhoneDetector> phone_detector;
  std::unique_ptr<drives::MountWatcher> mounts;
};

WindowedMainWindow::WindowedMainWindow(loop::MainLoop& loop, store::StoreRuntime& runtime,
                                       ServiceRuntime& service_runtime, playback::PlayCache& cache,
                                       downloads::DownloadManager& downloads,
                                       HeadlessMainWindow& reporter, service::LoginSession& login,
                                       service::LoginViews& login_views)
    : loop_(loop), runtime_(runtime), service_runtime_(service_runtime), reporter_(reporter) {
  WindowHooks hooks;
  hooks.on_shut_down = [this] {
    // A changed lyric is offered for saving before the end.
    parts_->fetcher.SaveAtClose();
    Report("main window closed");
    reporter_.Close();
  };
  hooks.show_login_dialog = [this] { parts_->login_dialogs.ShowLoginDialog(); };
  hooks.import_local = [this](bool folder) {
    const int count = folder ? parts_->import.ImportFolder() : parts_->import.ImportFiles();
    Report("imported: " + std::to_string(count));
  };
  hooks.import_folder = [this](const std::string& folder) {
    return parts_->import.ImportFolderAt(folder);
  };
  parts_ = std::make_unique<Parts>(
      loop, runtime, service_runtime, cache, downloads, login, login_views, std::move(hooks),
      [this](const std::string& line) { Report(line); },
      [this](bool) {
        ui::SorvelMainDlg& window = parts_->top.main_window();
        window.RefreshPlaylistTree();
        window.ShowList("local");
      });
}

// The parts go in the reverse of their order above: the lyric views, the desktop and every
// registration first, then the window, the commands, the queue, the lyric document, the player.
WindowedMainWindow::~WindowedMainWindow() {
  // The phone panel outlives the window below it: it must not reach the window any more, and no
  // copy may still be reporting.
  // The music centre's frame is one of the window's attached windows: it goes first.
  parts_->centre.Disconnect();
  parts_->mounts.reset();
  parts_->phone.SetWindowHooks({});
  parts_->phone.copy_queue().Stop();
}

void WindowedMainWindow::Report(const std::string& line) {
  reporter_.Report(line);
}

bool WindowedMainWindow::Open() {
  // The window may open the music centre while it initialises.
  parts_->centre.Connect(parts_->top.main_window());
  if (!parts_->top.Init()) return false;
  ui::SorvelMainDlg& window = parts_->top.main_window();
  if (window.presenter()) {
    window.presenter()->SetFileDropHandler([this](const std::vector<std::string>& paths) {
      const int added = parts_->top.main_window().AddDroppedFiles(paths);
      Report("dropped: " + std::to_string(added) + " added");
    });
  }
  parts_->desktop =
      std::make_unique<DesktopLink>(loop_, window, parts_->play, parts_->player, runtime_);
  Report(parts_->desktop->tray_shown() ? "tray icon shown" : "no tray on this desktop");
  parts_->notifier = desktop::CreateSessionBusNotifier(std::string(kProductName));
  ui::LyricViews::Links links;
  links.service_base_url = [&endpoints = service_runtime_.endpoints()] {
    return WebSiteOf(endpoints);
  };
  links.notify = [this](const std::string& title, const std::string& text) {
    if (parts_->notifier) parts_->notifier->Notify(title, text);
  };
  links.show_settings_page = [this](int page) { parts_->settings.ShowSettingsDialog(page); };
  links.show_upload = [this](const std::string& music_id, const std::string& display_text) {
    ui::LyricViews* views = parts_->lyric_views.get();
    ui::LayerWnd* over = views && views->lyric_window() ? static_cast<ui::LayerWnd*>(
                                                              views->lyric_window())
                                                        : &parts_->top.main_window();
    parts_->centre.ShowUpload(music_id, display_text, over);
  };
  parts_->lyric_views = std::make_unique<ui::LyricViews>(
      loop_, window,
      ui::LyricViews::Sources{runtime_.store(), runtime_.playlists(), parts_->analyzer,
                              parts_->player, parts_->play, &parts_->chooser},
      std::move(links));
  parts_->lyric_views_attached = window.AttachLyricViews(*parts_->lyric_views);
  // Start-up: the view the user left open comes back.
  window.OpenRememberedLyricView();
  ConnectPhone(window);
  Report("main window shown");
  parts_->list_reporter.OnSongListChanged(window.RowCount());
  return true;
}

void WindowedMainWindow::ConnectPhone(ui::SorvelMainDlg& window) {
  ui::PhonePanel::WindowHooks hooks;
  hooks.wait = [&window](const std::string& text, std::function<void()> work) {
    ui::OpenDeviceLoadingDlg::Run(
        text,
        [work = std::move(work)](ui::OpenDeviceLoadingDlg& dialog) {
          work();
          dialog.Finish();
        },
        &window);
  };
  hooks.confirm_copy = [&window](const std::vector<std::string>& names) {
    return ui::CopyDeviceConfirmDlg::Run(&window, names);
  };
  hooks.phone_changed = [this, &window] {
    window.OnPhoneChanged();
    const std::optional<ui::PhonePanel::Descriptor>& connected = parts_->phone.connected();
    Report(connected ? "phone connected: " + std::to_string(parts_->phone.Lists().size()) + " lists"
                     : "no phone");
  };
  hooks.redraw = [&window] { window.RedrawPhonePanel(); };
  hooks.report = [this](const std::string& status) { Report("phone status: " + status); };
  hooks.open_folder = [](const std::string& folder) { OpenInDefaultBrowser(folder); };
  hooks.library_changed = [this, &window](const std::string& list_id) {
    window.RefreshSongList();
    Report("phone song copied to the computer: " + (list_id.empty() ? std::string("library") : list_id));
  };
  parts_->phone.SetWindowHooks(std::move(hooks));
  // Mounted volumes that carry the phone player's files are phones; a folder the configuration
  // names stands for a phone that is always there and comes first.
  parts_->phone_detector = std::make_unique<device::PhoneDetector>(
      [this](const std::optional<std::string>& card_root) {
        // When the plugged-in phone goes, the configured folder (if any) shows again.
        parts_->phone.OnDeviceChanged(card_root ? std::optional(ui::PhonePanel::Descriptor{*card_root, ""})
                                                : ui::PhonePanel::ConfiguredDevice(runtime_));
      });
  drives::MountEvents events;
  events.added = [this](const std::string& root) { parts_->phone_detector->MountAdded(root); };
  events.removed = [this](const std::string& root) { parts_->phone_detector->MountRemoved(root); };
  parts_->mounts = drives::CreateGioMountWatcher(std::move(events));
  if (auto configured = ui::PhonePanel::ConfiguredDevice(runtime_)) {
    parts_->phone.OnDeviceChanged(configured);
  } else {
    parts_->phone_detector->Start(parts_->mounts->CurrentMounts());
  }
}

lyrics::LyricAnalyzer& WindowedMainWindow::analyzer() {
  return parts_->analyzer;
}
ui::SorvelMainDlg& WindowedMainWindow::main_window() {
  return parts_->top.main_window();
}
playback::PlayQueue& WindowedMainWindow::play_queue() {
  return parts_->queue;
}
playback::PlaySurface& WindowedMainWindow::play_surface() {
  return parts_->play;
}
ui::LyricViews* WindowedMainWindow::lyric_views() {
  return parts_->lyric_views.get();
}
ui::SettingsWindows& WindowedMainWindow::settings_windows() {
  return parts_->settings;
}

void WindowedMainWindow::OnServiceKnown(bool available) {
  // Service lists chosen while the embedded service was starting are fetched now.
  parts_->top.main_window().OnServiceKnown(available);
  parts_->centre.OnServiceKnown();
}

void WindowedMainWindow::HandleCommandLine(const std::string& text) {
  switch (parts_->top.main_window().HandleCommandLine(text)) {
    case ui::HandedCommandLine::Kind::kAddLink:
      Report("window: link handled");
      break;
    case ui::HandedCommandLine::Kind::kFile:
      Report("window: file added and played");
      break;
    case ui::HandedCommandLine::Kind::kNothing:
      Report("window: nothing to do with the command line");
      break;
  }
}

void WindowedMainWindow::HandleHandOver(const ipc::HandOverMessage& message) {
  ui::SorvelMainDlg& window = parts_->top.main_window();
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
  ui::SorvelMainDlg& window = parts_->top.main_window();
  if (window.IsCreated()) window.Exit();
}

}  // namespace quillo::app
