#pragma once
// The HTTP transport over libcurl. One object serves the whole program: every session it opens
// shares its cookie store, so the service calls of every worker thread and (through the jar
// file) the embedded browser see the same cookies.
//
// Thread-safe: OpenSession may be called from any thread; the objects it hands out follow the
// one-thread-at-a-time rule of HttpTransport.h and may outlive the transport.
//
// Errors: LastError() answers curl's CURLcode of the failure (CurlHttpRequest.h lists the codes
// the transport itself uses). Redirects of a GET are followed (at most 10) unless the request
// flags say not to. Connections time out after 30 s; a body read after the request's receive
// time-out (60 s by default) without a byte.
#include <memory>
#include <string>
#include <vector>

#include "platform/http/HttpTransport.h"

namespace quillo::http {

class CurlCookieShare;

// Whether the session cookies of the jar (those without expiry, such as the service's login
// cookie) are taken up: a new run of the program starts a new browsing session and logs in again
// with its key; each quillo-tool command continues the session of the command before it.
enum class CookieSessions { kNew, kContinue };

class CurlHttpTransport final : public HttpTransport {
 public:
  // `cookie_jar_path`: the Netscape-format cookie file (loaded now, rewritten whenever an answer
  // changes a cookie); empty keeps cookies in memory only.
  explicit CurlHttpTransport(std::string cookie_jar_path,
                             CookieSessions sessions = CookieSessions::kNew);
  ~CurlHttpTransport() override;

  std::unique_ptr<HttpSession> OpenSession(const SessionOptions& options) override;

  // The cookies every session shares, as Netscape lines, and adding to them (the jar is written
  // then): how the embedded browser's cookies and the program's meet. Any thread.
  std::vector<std::string> ExportCookieLines() const;
  void ImportCookieLines(const std::vector<std::string>& lines);

 private:
  std::shared_ptr<CurlCookieShare> share_;
};

}  // namespace quillo::http
