#include "platform/http/CurlCookieShare.h"

#include "platform/fs/FileSystem.h"
#include "platform/http/CurlEasyHandle.h"

namespace quillo::http {

CurlCookieShare::CurlCookieShare(std::string jar_path)
    : share_(curl_share_init()), jar_path_(std::move(jar_path)) {
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
  curl_easy_setopt(easy.get(), CURLOPT_COOKIESESSION, 1L);
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
  for (const curl_slist* item = cookies; item != nullptr; item = item->next) {
    text += item->data;
    text += '\n';
  }
  curl_slist_free_all(cookies);
  const bool saved = fs::WriteFileAtomic(jar_path_, text);
  save_pending_ = !saved;
  return saved;
}

void CurlCookieShare::Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
  static_cast<CurlCookieShare*>(self)->locks_.at(data).lock();
}

void CurlCookieShare::Unlock(CURL*, curl_lock_data data, void* self) {
  static_cast<CurlCookieShare*>(self)->locks_.at(data).unlock();
}

}  // namespace quillo::http
