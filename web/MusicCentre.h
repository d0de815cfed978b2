#pragma once
// The music centre as the main window sees it: the hosted page panel. It makes the frame
// (ExternalDlg) on first use and keeps it; closing hides it. It keeps the pages' cookies and the
// program's in step, so that a log-in on either side counts on the other: the program's
// cookies go to the pages whenever the panel opens and whenever the user changes; the pages'
// cookies come to the program before a log-in the page reported is taken up.
//
// Window thread only.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/DocMusicActionListener.h"
#include "ui/main/LaterWindows.h"
#include "web/ExternalDlg.h"

namespace quillo::ui {
class SorvelMainDlg;
}

namespace quillo::web {

class MusicCentre : public ui::HostedPagePanel,
                    public ExternalFrameHost,
                    private store::DocMusicActionListener {
 public:
  struct Parts {
    store::DocumentStore& store;
    ui::SorvelMainDlg& window;
    ExternalDHTMLDlg::Links links;
    ExternalDlg::TabFactory downloads_tab;
    // The program's cookie store, as Netscape lines, read and added to.
    std::function<std::vector<std::string>()> program_cookies;
    std::function<void(const std::vector<std::string>&)> add_program_cookies;
  };

  // `parts.links.page_logged_in` runs after the pages' cookies reached the program.
  explicit MusicCentre(Parts parts);
  ~MusicCentre() override;
  MusicCentre(const MusicCentre&) = delete;
  MusicCentre& operator=(const MusicCentre&) = delete;

  // HostedPagePanel
  void Open(const std::string& url) override;
  void Close() override;
  bool IsOpen() const override;
  bool ShowMusic(const std::string& music_id) override;
  // The service's address became known: the pages waiting for it load.
  void OnServiceKnown();

  // ExternalFrameHost
  ui::LayerWnd* MainWindow() override;
  void AttachWindow(ui::AttachableWindow& window) override;
  void DetachWindow(ui::AttachableWindow& window) override;
  void NoteMoveStart(ui::AttachableWindow& window, gfx::Point grab) override;
  gfx::Rect OnAttachedMoving(ui::AttachableWindow& window, const gfx::Rect& proposed) override;
  void CloseRequested() override;

  // The frame, once made (tests and the run's report look at it).
  ExternalDlg* frame() const { return frame_.get(); }

 private:
  void CookiesToPages();
  // DocMusicActionListener
  void OnMusicAdded(const store::MusicRecord&) override {}
  void OnMusicRemoved(const std::string&) override {}
  void OnUserChanged(const std::string& user_id) override;

  Parts parts_;
  std::unique_ptr<ExternalDlg> frame_;
};

}  // namespace quillo::web
