#pragma once
// The program's run with windows: the player, the lyric document, the play queue and its play
// surface, the playlist commands and the top parent with the main window, wired to the store, the
// service client, the login session and the reporter of the run (the headless window's output,
// which scripts and tests follow in both runs).
//
// Each part is made once per run, in dependency order, and destroyed in the reverse order: what
// a part uses is made before it and outlives it. The service's address may arrive later; the
// parts read it from the service runtime's shared endpoints when they make a request.
//
// Window thread only. Made after the store, the service client, the play cache, the download
// manager and the login session, destroyed before them.
#include <memory>
#include <string>

#include "platform/ipc/HandOverMessage.h"

namespace quillo::loop {
class MainLoop;
}
namespace quillo::store {
class StoreRuntime;
}
namespace quillo::playback {
class PlayCache;
class PlayQueue;
class PlaySurface;
}  // namespace quillo::playback
namespace quillo::service {
class LoginSession;
class LoginViews;
}  // namespace quillo::service
namespace quillo::ui {
class LyricViews;
class SettingsWindows;
class SorvelMainDlg;
}  // namespace quillo::ui
namespace quillo::downloads {
class DownloadManager;
}
namespace quillo::lyrics {
class LyricAnalyzer;
}

namespace quillo::app {

class HeadlessMainWindow;
class ServiceRuntime;

class WindowedMainWindow {
 public:
  // The download manager fetches artist pictures and the service songs' lyrics; `login` logs in
  // and out, and the window registers its login display and waiting dialog with `login_views`.
  // Everything given outlives this object.
  WindowedMainWindow(loop::MainLoop& loop, store::StoreRuntime& runtime,
                     ServiceRuntime& service_runtime, playback::PlayCache& cache,
                     downloads::DownloadManager& downloads, HeadlessMainWindow& reporter,
                     service::LoginSession& login, service::LoginViews& login_views);
  ~WindowedMainWindow();

  // Creates and shows the main window, the tray icon, the media-player service and the lyric
  // view left open; false when no window can be made.
  bool Open();
  ui::SorvelMainDlg& main_window();
  // The one lyric document, which the lyric views draw.
  lyrics::LyricAnalyzer& analyzer();
  // The play queue and the play surface of the run (made once; they stay when the service's
  // address arrives).
  playback::PlayQueue& play_queue();
  playback::PlaySurface& play_surface();
  // The lyric views once the window is open (null before).
  ui::LyricViews* lyric_views();
  // The settings dialog and the equaliser, which every opener reaches.
  ui::SettingsWindows& settings_windows();
  // The service's address became known (or will not be): service lists chosen before it are
  // fetched now (or fail).
  void OnServiceKnown(bool available);
  // A second instance's request: its command line, or show yourself.
  void HandleHandOver(const ipc::HandOverMessage& message);
  void HandleCommandLine(const std::string& text);
  // Asks the window to run its shutdown (a quit from outside).
  void Quit();

 private:
  struct Parts;
  void Report(const std::string& line);
  // Hands the phone panel its window and connects a phone the configuration names.
  void ConnectPhone(ui::SorvelMainDlg& window);

  loop::MainLoop& loop_;
  store::StoreRuntime& runtime_;
  ServiceRuntime& service_runtime_;
  HeadlessMainWindow& reporter_;
  std::unique_ptr<Parts> parts_;
};

}  // namespace quillo::app
