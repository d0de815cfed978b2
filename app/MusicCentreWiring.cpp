#include "app/MusicCentreWiring.h"

#include <memory>

#include "app/ServiceRuntime.h"
#include "platform/loop/MainLoop.h"
#include "playback/PlayQueue.h"
#include "service/session/LoginSession.h"
#include "service/sync/PlaylistSync.h"
#include "service/upload/UploadManager.h"
#include "store/DocumentStore.h"
#include "store/StoreRuntime.h"
#include "ui/downloads/DownloadManagerDlg.h"
#include "ui/main/SorvelMainDlg.h"
#include "web/CUploadDlg.h"
#include "web/DownloadDlg.h"
#include "web/MusicCentre.h"

namespace quillo::app {

// The panel the window holds from its construction: closed until the centre exists.
class MusicCentreWiring::Relay : public ui::HostedPagePanel {
 public:
  explicit Relay(loop::MainLoop& loop) : loop_(loop) {}
  void Open(const std::string& url) override {
    if (target == nullptr) return;
    if (first_) {
      // The browser's start costs a few hundred milliseconds of the window thread: the main
      // window is drawn first, the centre opens once that frame is on the screen.
      first_ = false;
      pending_ = true;
      loop_.Post([this, url, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired()) return;
        auto open = [this, url, alive] {
          if (alive.expired() || !pending_ || target == nullptr) return;
          pending_ = false;
          target->Open(url);
        };
        window::WindowPresenter* presenter = window ? window->presenter() : nullptr;
        if (presenter != nullptr) {
          presenter->AfterNextPaint(std::move(open));
        } else {
          open();
        }
      });
      return;
    }
    pending_ = false;
    target->Open(url);
  }
  void Close() override {
    // A close before the first opening came means it never comes.
    pending_ = false;
    if (target) target->Close();
  }
  bool IsOpen() const override { return target && target->IsOpen(); }
  bool ShowMusic(const std::string& music_id) override {
    return target && target->ShowMusic(music_id);
  }

  ui::HostedPagePanel* target = nullptr;
  ui::LayerWnd* window = nullptr;  // the main window, drawn before the first opening

 private:
  loop::MainLoop& loop_;
  bool first_ = true;
  bool pending_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

MusicCentreWiring::MusicCentreWiring(Parts parts)
    : parts_(std::move(parts)), relay_(std::make_unique<Relay>(parts_.loop)) {}

MusicCentreWiring::~MusicCentreWiring() { Disconnect(); }

ui::HostedPagePanel& MusicCentreWiring::panel() { return *relay_; }

std::string MusicCentreWiring::BaseUrl() const {
  return parts_.service.endpoints().Get().base_url;
}

void MusicCentreWiring::Tryout(const std::string& id, const std::string& name,
                               const std::string& artist_name) {
  // A preview plays the song without keeping it: it joins no list and is not downloaded.
  store::MusicRecord record{{"id", id}, {"name", name}, {"artist_name", artist_name}};
  parts_.queue.PlayRecord(record);
}

void MusicCentreWiring::Connect(ui::SorvelMainDlg& window) {
  web::ExternalDHTMLDlg::Links links;
  links.base_url = [this] { return BaseUrl(); };
  links.add_download = [this](const std::string& document) {
    return parts_.sync.AddFromPage(document);
  };
  links.tryout = [this](const std::string& id, const std::string& name,
                        const std::string& artist_name) {
    // Not while the page waits for its call: starting a song reaches the whole program.
    parts_.loop.Post([this, id, name, artist_name] { Tryout(id, name, artist_name); });
  };
  links.show_login = [this] {
    parts_.loop.Post([this] {
      if (parts_.show_login_dialog) parts_.show_login_dialog();
    });
  };
  links.page_logged_in = [this] {
    // The waiting dialog is modal: its loop must not run inside the page's call.
    parts_.loop.Post([this] { parts_.login.AutoLoginFromPage(); });
  };
  links.page_logged_out = [this] {
    parts_.loop.Post([this] { parts_.login.Logout(); });
  };
  links.login_user = [this] {
    const std::string user = parts_.runtime.store().CurrentUser();
    return user == "0" ? std::string() : user;
  };
  links.report = parts_.report;

  web::MusicCentre::Parts centre{parts_.runtime.store(), window, std::move(links), {}, {}, {}};
  centre.downloads_tab = [this](ui::LayerWnd& frame, const gfx::Rect& area) {
    ui::DownloadManagerDlg::Deps deps{parts_.runtime, parts_.downloads,
                                      [this](const std::vector<std::string>& ids) {
                                        parts_.sync.DeleteLibrarySongs(ids);
                                      }};
    return std::make_unique<ui::DownloadManagerDlg>(frame, area, std::move(deps));
  };
  centre.program_cookies = [this] { return parts_.service.CookieLines(); };
  centre.add_program_cookies = [this](const std::vector<std::string>& lines) {
    parts_.service.AddCookieLines(lines);
  };
  centre_ = std::make_unique<web::MusicCentre>(std::move(centre));
  relay_->target = centre_.get();
  relay_->window = &window;
}

void MusicCentreWiring::OnServiceKnown() {
  if (centre_) centre_->OnServiceKnown();
}

void MusicCentreWiring::Disconnect() {
  relay_->target = nullptr;
  relay_->window = nullptr;
  centre_.reset();
  uploads_.reset();
}

void MusicCentreWiring::ShowUpload(const std::string& music_id, const std::string& display_text,
                                   ui::LayerWnd* over) {
  if (!uploads_) {
    const std::string host = parts_.service.endpoints().Get().upload_host;
    if (host.empty()) {
      if (parts_.report) parts_.report("upload: no upload host");
      return;
    }
    uploads_ = std::make_unique<service::UploadManager>(parts_.service.transport(), host);
  }
  web::CUploadDlg dialog(parts_.runtime.store(), *uploads_, parts_.chooser, music_id,
                         display_text);
  dialog.SetReport(parts_.report);
  if (parts_.report) parts_.report("upload window shown");
  dialog.Run(over);
}

bool MusicCentreWiring::FetchComponent(const std::string& title, const std::string& url,
                                       const std::string& target, ui::LayerWnd* over) {
  web::DownloadDlg dialog(parts_.runtime.store(), parts_.service.downloader(), title, url, target);
  const bool finished = dialog.Run(over);
  if (parts_.report) parts_.report(finished ? "component fetched" : "component not fetched");
  return finished;
}

}  // namespace quillo::app
