#pragma once
// The music centre and the other HTML windows as the program wires them: the hosted page panel
// the main window opens (made before the window, connected once it exists), what the service's
// pages may do through their bridge (add songs, preview one, log in and out), the upload window
// the lyric window opens, and the component download window.
//
// Window thread only. Everything in Parts outlives this object.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/main/LaterWindows.h"

namespace quillo::loop {
class MainLoop;
}
namespace quillo::store {
class StoreRuntime;
}
namespace quillo::service {
class LoginSession;
class PlaylistSync;
class UploadManager;
}  // namespace quillo::service
namespace quillo::playback {
class PlayQueue;
}
namespace quillo::downloads {
class DownloadManager;
}
namespace quillo::window {
class FileChooser;
}
namespace quillo::ui {
class LayerWnd;
class SorvelMainDlg;
}  // namespace quillo::ui
namespace quillo::web {
class MusicCentre;
}

namespace quillo::app {

class ServiceRuntime;

class MusicCentreWiring {
 public:
  struct Parts {
    loop::MainLoop& loop;
    store::StoreRuntime& runtime;
    ServiceRuntime& service;
    service::PlaylistSync& sync;
    playback::PlayQueue& queue;
    service::LoginSession& login;
    downloads::DownloadManager& downloads;
    window::FileChooser* chooser = nullptr;
    std::function<void()> show_login_dialog;
    std::function<void(const std::string&)> report;
  };

  explicit MusicCentreWiring(Parts parts);
  ~MusicCentreWiring();
  MusicCentreWiring(const MusicCentreWiring&) = delete;
  MusicCentreWiring& operator=(const MusicCentreWiring&) = delete;

  // What the main window is given when it is made; it answers as a closed panel until Connect.
  ui::HostedPagePanel& panel();
  // Makes the music centre for the window (before the window is created: it may open the panel
  // while it initialises).
  void Connect(ui::SorvelMainDlg& window);
  // Before the window goes: the centre's frame and the upload workers end first.
  void Disconnect();
  // The service's address became known.
  void OnServiceKnown();

  // The upload window for a song, modal over `over`.
  void ShowUpload(const std::string& music_id, const std::string& display_text,
                  ui::LayerWnd* over);
  // The component download window: `url` into `target`; true when the file arrived whole.
  bool FetchComponent(const std::string& title, const std::string& url, const std::string& target,
                      ui::LayerWnd* over);

  web::MusicCentre* centre() const { return centre_.get(); }

 private:
  class Relay;
  std::string BaseUrl() const;
  void Tryout(const std::string& id, const std::string& name, const std::string& artist_name);

  Parts parts_;
  std::unique_ptr<Relay> relay_;
  std::unique_ptr<web::MusicCentre> centre_;
  std::unique_ptr<service::UploadManager> uploads_;
};

}  // namespace quillo::app
