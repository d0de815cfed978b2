#include "app/WindowedMainWindow.h"

#include "app/DesktopLink.h"
#include "app/HeadlessMainWindow.h"
#include "app/ReportingLoginWindow.h"
#include "app/ReportingQueueView.h"
#include "app/ServiceRuntime.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "platform/shell/DetachedLauncher.h"
#include "platform/window/GtkFilePicker.h"
#include "playback/MediaPlayer.h"
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

// The desktop's opener picks the default browser (or file manager for a folder).
void OpenInDefaultBrowser(const std::string& url) {
  shell::LaunchDetached({"xdg-open", url}, shell::ChildOutput::kDiscard);
}

}  // namespace

struct WindowedMainWindow::Parts {
  audio::GstMediaGraphFactory graphs;
  std::unique_ptr<playback::MediaPlayer> player;
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
};

WindowedMainWindow::WindowedMainWindow(loop::MainLoop& loop, store::StoreRuntime& runtime,
                                       ServiceRuntime& service_runtime, playback::PlayCache& cache,
                                       HeadlessMainWindow& reporter)
    : loop_(loop),
      runtime_(runtime),
      service_runtime_(service_runtime),
      cache_(cache),
      reporter_(reporter),
      parts_(std::make_unique<Parts>()) {
  parts_->player = std::make_unique<playback::MediaPlayer>(
      playback::MediaPlayer::Services{loop_, parts_->graphs, service_runtime_.downloader(),
                                      runtime_.store(), &runtime_.library(), &cache_});
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
  parts_->desktop.reset();
  // The playlist commands and the queue listen to the player and the window; they go first, the
  // player last.
  parts_->top->main_window().SetPlaylistSync(nullptr);
  parts_->sync.reset();
  parts_->sync_playback.reset();
  parts_->queue.reset();
  parts_->top.reset();
  parts_->player.reset();
}

void WindowedMainWindow::MakeQueue() {
  parts_->sync.reset();
  parts_->sync_playback.reset();
  parts_->queue.reset();
  service::ServiceEndpoints endpoints = endpoints_.value_or(service::ServiceEndpoints{});
  if (!parts_->queue_view) {
    parts_->queue_view = std::make_unique<ReportingQueueView>(
        parts_->top->main_window(), [this](const std::string& line) { reporter_.Report(line); });
  }
  parts_->queue = std::make_unique<playback::PlayQueue>(playback::PlayQueue::Parts{
      runtime_.store(), runtime_.library(), runtime_.playlists(), runtime_.queue(), *parts_->player,
      *parts_->queue_view, parts_->select_box, loop_,
      service::ServiceFileUrls(endpoints, runtime_.store().ClientId()), nullptr,
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
  MakeQueue();
  if (!parts_->top->Init()) return false;
  ui::SorvelMainDlg& window = parts_->top->main_window();
  if (window.presenter()) {
    window.presenter()->SetFileDropHandler([this](const std::vector<std::string>& paths) {
      const int added = parts_->top->main_window().AddDroppedFiles(paths);
      reporter_.Report("dropped: " + std::to_string(added) + " added");
    });
  }
  parts_->desktop = std::make_unique<DesktopLink>(window, *parts_->player, runtime_);
  parts_->desktop->Start();
  window.SetNowPlayingListener(
      [this](const std::string& title) { parts_->desktop->OnNowPlaying(title); });
  window.SetArtPathListener([this](const std::string& path) { parts_->desktop->SetArtPath(path); });
  reporter_.Report(parts_->desktop->tray_shown() ? "tray icon shown" : "no tray on this desktop");
  reporter_.Report("main window shown");
  reporter_.Report("song list: " + std::to_string(window.RowCount()) + " rows");
  return true;
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
