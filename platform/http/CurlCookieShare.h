#pragma once
// The state every session of one transport shares: curl's cookie store and DNS cache (a CURLSH
// with a lock per data kind, so many worker threads use it at once) and the cookie jar file.
//
// The jar is in the Netscape cookie file format (what curl and WebKitGTK's text cookie storage
// read). It is loaded once at construction, session cookies (expiry 0) left out unless the owner
// continues an earlier session. It is written back, atomically (temporary file and
// rename) and without expired cookies, by Save after every answer that set or cleared a cookie,
// and again at destruction when the last save failed. An empty jar path keeps the cookies in
// memory only.
//
// Requests hold it through shared_ptr, so it outlives every easy handle attached to it.
#include <curl/curl.h>

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/http/CurlShareHandle.h"

namespace quillo::http {

class CurlCookieShare {
 public:
  CurlCookieShare(std::string jar_path, bool keep_session_cookies);
  ~CurlCookieShare();
  CurlCookieShare(const CurlCookieShare&) = delete;
  CurlCookieShare& operator=(const CurlCookieShare&) = delete;

  // Attaches an easy handle to the shared cookie store and DNS cache. False when curl refused.
  bool Attach(CURL* easy) const;

  // Writes every cookie of the store to the jar. Any thread; `easy` is attached to the store.
  // False when the file could not be written (it is then retried at destruction).
  bool Save(CURL* easy);

  // Every cookie of the store as Netscape lines (session cookies with expiry 0, HttpOnly ones
  // with the "#HttpOnly_" prefix), for the embedded browser. Any thread.
  std::vector<std::string> ExportLines() const;
  // Adds (or replaces) cookies given as Netscape lines, then writes the jar; lines curl does not
  // read as a cookie are skipped. Any thread.
  void ImportLines(const std::vector<std::string>& lines);

  const std::string& jar_path() const { return jar_path_; }

 private:
  static void Lock(CURL* easy, curl_lock_data data, curl_lock_access access, void* self);
  static void Unlock(CURL* easy, curl_lock_data data, void* self);
  void Load();

  mutable std::array<std::mutex, CURL_LOCK_DATA_LAST> locks_;
  CurlShareHandle share_;
  std::string jar_path_;
  bool keep_session_cookies_;
  std::mutex save_mutex_;
  std::atomic<bool> save_pending_{false};
};

}  // namespace quillo::http
