#include "app/WindowedMainWindow.h"

#include "app/HeadlessMainWindow.h"
#include "app/ServiceRuntime.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "platform/shell/DetachedLauncher.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayQueue.h"
#include "playback/SongSelectBox.h"
#include "service/api/ServiceFileUrls.h"
#include "store/StoreRuntime.h"
#include "ui/dialogs/MessageBoxes.h"
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
  std::unique_ptr<ui::TopParentDlg> top;
  std::unique_ptr<playback::PlayQueue> queue;
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
  parts_->top = std::make_unique<ui::TopParentDlg>(loop_, std::move(window_parts));
}

WindowedMainWindow::~WindowedMainWindow() {
  // The queue listens to the player and the window; it goes first, the player last.
  parts_->queue.reset();
  parts_->top.reset();
  parts_->player.reset();
}

void WindowedMainWindow::MakeQueue() {
  parts_->queue.reset();
  service::ServiceEndpoints endpoints = endpoints_.value_or(service::ServiceEndpoints{});
  parts_->queue = std::make_unique<playback::PlayQueue>(playback::PlayQueue::Parts{
      runtime_.store(), runtime_.library(), runtime_.playlists(), runtime_.queue(), *parts_->player,
      parts_->top->main_window(), parts_->select_box, loop_,
      service::ServiceFileUrls(endpoints, runtime_.store().ClientId()), nullptr,
      &service_runtime_.statistics()});
  parts_->top->main_window().SetPlayQueue(parts_->queue.get());
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
  reporter_.Report("main window shown");
  return true;
}

ui::SorvelMainDlg& WindowedMainWindow::main_window() {
  return parts_->top->main_window();
}
service::LoginWindow& WindowedMainWindow::login_window() {
  return parts_->top->main_window();
}

void WindowedMainWindow::SetLoginSession(service::LoginSession* login) {
  parts_->top->main_window().SetLoginSession(login);
}

void WindowedMainWindow::OnServiceEndpoints(const service::ServiceEndpoints& endpoints) {
  endpoints_ = endpoints;
  MakeQueue();
}

void WindowedMainWindow::HandleCommandLine(const std::string& text) {
  parts_->top->main_window().HandleCommandLine(text);
}

void WindowedMainWindow::HandleHandOver(const ipc::HandOverMessage& message) {
  ui::SorvelMainDlg& window = parts_->top->main_window();
  switch (message.kind) {
    case ipc::HandOverKind::kCommandLine:
      window.HandleCommandLine(message.command_line);
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
