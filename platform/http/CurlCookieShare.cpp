#include "platform/http/CurlCookieShare.h"

#include <ctime>
#include <string_view>

#include "platform/fs/FileSystem.h"
#include "platform/http/CurlEasyHandle.h"

namespace quillo::http {
namespace {

// A cookie line's fifth field is its expiry (seconds since 1970; 0 for a session cookie). curl
// keeps a cookie that an answer expired (Max-Age=0) until its next look-up: it must not reach
// the jar.
bool IsExpired(std::string_view line, long long now) {
  for (int field = 0; field < 4; ++field) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    line.remove_prefix(tab + 1);
  }
  long long expiry = 0;
  for (char c : line.substr(0, line.find('\t'))) {
    if (c < '0' || c > '9' || expiry > 1'000'000'000'000LL) return false;
    expiry = expiry * 10 + (c - '0');
  }
  return expiry != 0 && expiry <= now;
}

}  // namespace

CurlCookieShare::CurlCookieShare(std::string jar_path, bool keep_session_cookies)
    : share_(curl_share_init()),
      jar_path_(std::move(jar_path)),
      keep_session_cookies_(keep_session_cookies) {
  if (!share_) return;
  curl_share_setopt(share_.get(), CURLSHOPT_LOCKFUNC, &CurlCookieShare::Lock);
  curl_share_setopt(share_.get(), CURLSHOPT_UNLOCKFUNC, &CurlCookieShare::Unlock);
  curl_share_setopt(share_.get(), CURLSHOPT_USERDATA, this);
  curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
  curl_share_setopt(share_.get(), CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
  Load();
}

CurlCookieShare::~CurlCookieShare() {
  if (!share_ || !save_pending_) return;
  CurlEasyHandle easy(curl_easy_init());
  if (easy && Attach(easy.get())) Save(easy.get());
}

bool CurlCookieShare::Attach(CURL* easy) const {
  return share_ && curl_easy_setopt(easy, CURLOPT_SHARE, share_.get()) == CURLE_OK;
}

void CurlCookieShare::Load() {
  if (jar_path_.empty() || !fs::FileExists(jar_path_)) return;
  CurlEasyHandle easy(curl_easy_init());
  if (!easy || !Attach(easy.get())) return;
  curl_easy_setopt(easy.get(), CURLOPT_COOKIESESSION, keep_session_cookies_ ? 0L : 1L);
  curl_easy_setopt(easy.get(), CURLOPT_COOKIEFILE, jar_path_.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, "RELOAD");
}

bool CurlCookieShare::Save(CURL* easy) {
  if (jar_path_.empty()) return true;
  std::lock_guard lock(save_mutex_);
  curl_slist* cookies = nullptr;
  if (curl_easy_getinfo(easy, CURLINFO_COOKIELIST, &cookies) != CURLE_OK) {
    save_pending_ = true;
    return false;
  }
  std::string text = "# Netscape HTTP Cookie File\n";
  const auto now = static_cast<long long>(std::time(nullptr));
  for (const curl_slist* item = cookies; item != nullptr; item = item->next) {
    if (IsExpired(item->data, now)) continue;
    text += item->data;
    text += '\n';
  }
  curl_slist_free_all(cookies);
  const bool saved = fs::WriteFileAtomic(jar_path_, text);
  save_pending_ = !saved;
  return saved;
}

std::vector<std::string> CurlCookieShare::ExportLines() const {
  std::vector<std::string> lines;
  CurlEasyHandle easy(curl_easy_init());
  if (!easy || !Attach(easy.get())) return lines;
  curl_slist* cookies = nullptr;
  if (curl_easy_getinfo(easy.get(), CURLINFO_COOKIELIST, &cookies) != CURLE_OK) return lines;
  const auto now = static_cast<long long>(std::time(nullptr));
  for (const curl_slist* item = cookies; item != nullptr; item = item->next) {
    if (!IsExpired(item->data, now)) lines.emplace_back(item->data);
  }
  curl_slist_free_all(cookies);
  return lines;
}

void CurlCookieShare::ImportLines(const std::vector<std::string>& lines) {
  CurlEasyHandle easy(curl_easy_init());
  if (!easy || !Attach(easy.get())) return;
  bool added = false;
  for (const std::string& line : lines) {
    // curl reads a line with tabs as a Netscape line; anything else would be taken as a
    // Set-Cookie header, or as one of its commands ("ALL", "FLUSH" …).
    if (line.find('\t') == std::string::npos || line.find_first_of("\r\n") != std::string::npos) {
      continue;
    }
    added |= curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, line.c_str()) == CURLE_OK;
  }
  if (added) Save(easy.get());
}

void CurlCookieShare::Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
  static_cast<CurlCookieShare*>(self)->locks_.at(data).lock();
}

void CurlCookieShare::Unlock(CURL*, curl_lock_data data, void* self) {
  static_cast<CurlCookieShare*>(self)->locks_.at(data).unlock();
}

}  // namespace quillo::http
