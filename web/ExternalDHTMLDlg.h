#pragma once
// The service's pages in the music centre: the page the centre opens first ("go.php"), its home
// ("music/") and whatever the user browses from there. Its pages — and only pages of the
// service's own origin — may add songs (AddDownload), preview one (Tryout), open the log-in
// dialog, report a log-in or logout made on the page, and ask who is logged in.
//
// Window thread only. The links are called from inside the page's call, synchronously; the
// page waits for them, so they must not run a modal loop that needs the page (the log-in dialog
// is opened on a later loop turn).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "web/CXHTMLDialog.h"

namespace quillo::web {

class ExternalDHTMLDlg : public CXHTMLDialog {
 public:
  struct Links {
    // The service base URL ending in '/' (empty while unknown).
    std::function<std::string()> base_url;
    // An add-music document from the page; false when it was refused.
    std::function<bool(const std::string& document)> add_download;
    // The first song of the document, to be played as a preview.
    std::function<void(const std::string& id, const std::string& name,
                       const std::string& artist_name)>
        tryout;
    std::function<void()> show_login;
    std::function<void()> page_logged_in;
    std::function<void()> page_logged_out;
    std::function<std::string()> login_user;
    // A navigation failed (true) or a page loaded again (false): the frame shows or hides its
    // failure picture.
    std::function<void(bool failed)> navigation_failed;
    std::function<void(const std::string& line)> report;
  };

  ExternalDHTMLDlg(store::DocumentStore& store, Links links);

  // Navigates to the service base URL + `relative` (the home page when empty is not implied:
  // callers pass "music/" for it). Before the page exists the address is kept and used as soon
  // as it does.
  void OpenRelative(const std::string& relative);
  void OpenAbsolute(const std::string& url);
  void GoHome();
  void Refresh();
  void GoBack();
  void GoForward();
  // Asks the page to show one song (its show_music_window function); nothing before a page has
  // loaded.
  void ShowMusic(const std::string& music_id);

  // The first song of an add-music document: its id, name and artist name; no value when the
  // document holds no song with an id.
  struct SongInfo {
    std::string id;
    std::string name;
    std::string artist_name;
  };
  static std::optional<SongInfo> FirstSongOf(const std::string& document);
  // The origin ("http://host:port") of an http(s) URL; empty for anything else.
  static std::string OriginOf(const std::string& url);

  // After CreateInside: starts at the remembered address, or at "go.php".
  void StartPages();
  // The service's address became known: a page asked for before it is loaded now.
  void OnServiceKnown();

  // WebViewListener
  void OnLoadStarted(const std::string& url) override;
  void OnLoadFinished(const std::string& url) override;
  void OnLoadFailed(const std::string& url) override;

 protected:
  BridgeValue OnExternalMethod(const std::string& method, const std::vector<std::string>& args,
                               bool& handled) override;
  std::vector<std::string> ExternalMethodNames() const override;
  std::vector<std::string> TrustedOrigins() const override;

 private:
  std::string BaseUrl() const { return links_.base_url ? links_.base_url() : std::string(); }
  void SetFailed(bool failed);

  Links links_;
  std::string pending_url_;
  // An address under a service base URL not known yet.
  std::optional<std::string> pending_relative_;
  bool failed_ = false;
};

}  // namespace quillo::web
