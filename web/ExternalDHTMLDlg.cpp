#include "web/ExternalDHTMLDlg.h"

#include <utility>

#include "store/ListDocument.h"
#include "store/MusicRecord.h"

namespace quillo::web {
namespace {

constexpr const char* kFirstPage = "go.php";
constexpr const char* kHomePage = "music/";

std::string Attribute(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

CXHTMLDialog::Options PageOptions() {
  CXHTMLDialog::Options options;
  options.resizable = false;  // the frame around it is what the user sizes
  return options;
}

}  // namespace

ExternalDHTMLDlg::ExternalDHTMLDlg(store::DocumentStore& store, Links links)
    : CXHTMLDialog(store, PageOptions()), links_(std::move(links)) {}

std::optional<ExternalDHTMLDlg::SongInfo> ExternalDHTMLDlg::FirstSongOf(
    const std::string& document) {
  std::optional<store::ListDocument> parsed = store::ParseListDocument(document);
  if (!parsed || parsed->records.empty()) return std::nullopt;
  const store::MusicRecord& first = parsed->records.front();
  SongInfo song{Attribute(first, "id"), Attribute(first, "name"), Attribute(first, "artist_name")};
  if (song.id.empty()) return std::nullopt;
  return song;
}

std::string ExternalDHTMLDlg::OriginOf(const std::string& url) {
  std::size_t scheme_end = url.find("://");
  if (scheme_end == std::string::npos) return {};
  const std::string scheme = url.substr(0, scheme_end);
  if (scheme != "http" && scheme != "https") return {};
  const std::size_t host_start = scheme_end + 3;
  const std::size_t host_end = url.find_first_of("/?#", host_start);
  std::string authority = url.substr(host_start, host_end == std::string::npos
                                                     ? std::string::npos
                                                     : host_end - host_start);
  // User information never belongs to an origin.
  if (const std::size_t at = authority.rfind('@'); at != std::string::npos)
    authority = authority.substr(at + 1);
  if (authority.empty()) return {};
  return scheme + "://" + authority;
}

void ExternalDHTMLDlg::OpenRelative(const std::string& relative) {
  if (BaseUrl().empty()) {
    // The service's address comes later (the embedded service is still starting).
    pending_relative_ = relative;
    return;
  }
  OpenAbsolute(BaseUrl() + relative);
}

void ExternalDHTMLDlg::OpenAbsolute(const std::string& url) {
  pending_relative_.reset();
  if (view() == nullptr) {
    pending_url_ = url;
    return;
  }
  SetFailed(false);
  // The service's origin may have become known since the view was made.
  view()->SetTrustedOrigins(TrustedOrigins());
  Navigate(url);
}

void ExternalDHTMLDlg::StartPages() {
  if (!pending_url_.empty()) {
    OpenAbsolute(std::exchange(pending_url_, {}));
    return;
  }
  OpenRelative(pending_relative_.value_or(kFirstPage));
}

void ExternalDHTMLDlg::OnServiceKnown() {
  if (pending_relative_ && !BaseUrl().empty() && view()) OpenRelative(*pending_relative_);
}

void ExternalDHTMLDlg::GoHome() { OpenRelative(kHomePage); }

void ExternalDHTMLDlg::Refresh() {
  if (view() == nullptr) return;
  const std::string url = view()->Url();
  if (url.empty()) {
    StartPages();
    return;
  }
  OpenAbsolute(url);
}

void ExternalDHTMLDlg::GoBack() {
  if (view() == nullptr) return;
  SetFailed(false);
  view()->GoBack();
}

void ExternalDHTMLDlg::GoForward() {
  if (view() == nullptr) return;
  SetFailed(false);
  view()->GoForward();
}

void ExternalDHTMLDlg::ShowMusic(const std::string& music_id) {
  if (view() == nullptr || !view()->IsLoaded()) return;
  CallPageFunction("show_music_window", {music_id});
}

void ExternalDHTMLDlg::OnLoadStarted(const std::string& url) {
  if (links_.report) links_.report("music centre: loading " + url);
}

void ExternalDHTMLDlg::OnLoadFinished(const std::string& url) {
  if (links_.report) links_.report("music centre: loaded " + url);
}

void ExternalDHTMLDlg::OnLoadFailed(const std::string& url) {
  if (links_.report) links_.report("music centre: failed " + url);
  SetFailed(true);
}

void ExternalDHTMLDlg::SetFailed(bool failed) {
  if (failed_ == failed) return;
  failed_ = failed;
  // The page is hidden while the failure picture shows; navigating shows it again.
  if (view()) view()->SetVisible(!failed);
  if (links_.navigation_failed) links_.navigation_failed(failed);
}

std::vector<std::string> ExternalDHTMLDlg::ExternalMethodNames() const {
  std::vector<std::string> names = CXHTMLDialog::ExternalMethodNames();
  for (const char* name : {"AddDownload", "Tryout", "Login", "OnUserLogin", "OnUserLogout",
                           "GetLoginUser", "ShowLoading", "HideLoading"}) {
    names.emplace_back(name);
  }
  return names;
}

std::vector<std::string> ExternalDHTMLDlg::TrustedOrigins() const {
  const std::string origin = OriginOf(BaseUrl());
  if (origin.empty()) return {};
  return {origin};
}

BridgeValue ExternalDHTMLDlg::OnExternalMethod(const std::string& method,
                                               const std::vector<std::string>& args,
                                               bool& handled) {
  handled = true;
  const std::string first = args.empty() ? std::string() : args.front();
  if (method == "AddDownload") {
    // Page strings reach us as UTF-8 already; the parser takes the text as it is.
    const bool taken = links_.add_download && links_.add_download(first);
    if (links_.report) links_.report(std::string("music centre: AddDownload ") +
                                     (taken ? "taken" : "refused"));
    return BridgeValue::Void();
  }
  if (method == "Tryout") {
    std::optional<SongInfo> song = FirstSongOf(first);
    if (links_.report) links_.report("music centre: Tryout " + (song ? song->id : "refused"));
    if (song && links_.tryout) links_.tryout(song->id, song->name, song->artist_name);
    return BridgeValue::Void();
  }
  if (method == "Login") {
    if (links_.show_login) links_.show_login();
    return BridgeValue::Void();
  }
  if (method == "OnUserLogin") {
    if (links_.report) links_.report("music centre: OnUserLogin");
    if (links_.page_logged_in) links_.page_logged_in();
    return BridgeValue::Void();
  }
  if (method == "OnUserLogout") {
    if (links_.report) links_.report("music centre: OnUserLogout");
    if (links_.page_logged_out) links_.page_logged_out();
    return BridgeValue::Void();
  }
  if (method == "GetLoginUser") {
    return BridgeValue::String(links_.login_user ? links_.login_user() : std::string());
  }
  if (method == "ShowLoading" || method == "HideLoading") return BridgeValue::Void();
  return CXHTMLDialog::OnExternalMethod(method, args, handled);
}

}  // namespace quillo::web
