#pragma once
// The program's run with windows: the player, the play queue and the top parent with the main
// window, wired to the store, the service client and the reporter of the run (the headless
// window's output, which scripts and tests follow in both runs).
//
// Window thread only. Made after the store, the service client and the play cache, destroyed
// before them (the player cancels its stream download on destruction).
#include <memory>
#include <optional>
#include <string>

#include "platform/ipc/HandOverMessage.h"
#include "service/api/ServiceEndpoints.h"

namespace quillo::loop {
class MainLoop;
}
namespace quillo::store {
class StoreRuntime;
}
namespace quillo::playback {
class PlayCache;
}
namespace quillo::service {
class LoginSession;
class LoginWaitingDialog;
class LoginWindow;
}  // namespace quillo::service
namespace quillo::ui {
class SorvelMainDlg;
}
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
  // `downloads` (may be null) fetches artist pictures and the service songs' lyrics; this
  // object is its listener while the window is open.
  WindowedMainWindow(loop::MainLoop& loop, store::StoreRuntime& runtime,
                     ServiceRuntime& service_runtime, playback::PlayCache& cache,
                     downloads::DownloadManager* downloads, HeadlessMainWindow& reporter);
  ~WindowedMainWindow();

  // Creates and shows the main window; false when no window can be made.
  bool Open();
  ui::SorvelMainDlg& main_window();
  service::LoginWindow& login_window();
  // The login dialog's waiting dialog, which the login session shows.
  service::LoginWaitingDialog& waiting_dialog();
  void SetLoginSession(service::LoginSession* login);
  // The one lyric document, which the lyric views draw.
  lyrics::LyricAnalyzer& analyzer();
  // The service's addresses are known: streams and the web site use them from now on.
  void OnServiceEndpoints(const service::ServiceEndpoints& endpoints);
  // The embedded service could not be started: lists waiting for its address fail.
  void OnServiceUnavailable();
  // A second instance's request: its command line, or show yourself.
  void HandleHandOver(const ipc::HandOverMessage& message);
  void HandleCommandLine(const std::string& text);
  // Asks the window to run its shutdown (a quit from outside).
  void Quit();

 private:
  struct Parts;
  void MakeQueue();
  void MakeLyricViews();

  loop::MainLoop& loop_;
  store::StoreRuntime& runtime_;
  ServiceRuntime& service_runtime_;
  playback::PlayCache& cache_;
  HeadlessMainWindow& reporter_;
  std::optional<service::ServiceEndpoints> endpoints_;
  std::unique_ptr<Parts> parts_;
};

}  // namespace quillo::app
