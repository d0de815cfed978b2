#include "platform/http/CurlHttpTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

#include "platform/http/CurlCookieShare.h"
#include "platform/http/CurlHttpRequest.h"

namespace quillo::http {
namespace {

void InitializeCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// A host name or address as it may appear in a URL; anything that could change the URL's
// meaning (user info, path, spaces, control characters) is refused.
bool IsPlainHost(std::string_view host) {
  return !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == 127 || c == '/' || c == '@' || c == '?' ||
           c == '#' || c == '\\' || c == '%';
  });
}

class CurlHttpConnection final : public HttpConnection {
 public:
  CurlHttpConnection(std::shared_ptr<CurlCookieShare> share, SessionOptions options,
                     std::string origin)
      : share_(std::move(share)), options_(std::move(options)), origin_(std::move(origin)) {}

  std::unique_ptr<HttpRequest> OpenRequest(std::string_view verb, std::string_view object,
                                           std::uint32_t flags) override {
    const bool bad_object = std::any_of(object.begin(), object.end(), [](char c) {
      return static_cast<unsigned char>(c) <= ' ' || c == 127;
    });
    if (verb.empty() || bad_object ||
        !std::all_of(verb.begin(), verb.end(), [](char c) { return c >= 'A' && c <= 'Z'; })) {
      last_error_ = CURLE_BAD_FUNCTION_ARGUMENT;
      return nullptr;
    }
    CurlRequestSettings settings;
    settings.url = origin_;
    if (object.empty() || object.front() != '/') settings.url += '/';
    settings.url += object;
    settings.verb = verb;
    settings.flags = flags;
    settings.session = options_;
    settings.proxy_credentials = proxy_credentials_;
    return std::make_unique<CurlHttpRequest>(share_, std::move(settings));
  }

  bool SetProxyCredentials(std::string_view user, std::string_view password) override {
    proxy_credentials_.emplace(user, password);
    return true;
  }

  PlatformError LastError() const override { return last_error_; }

 private:
  std::shared_ptr<CurlCookieShare> share_;
  SessionOptions options_;
  std::string origin_;  // "http://host:port"
  std::optional<std::pair<std::string, std::string>> proxy_credentials_;
  PlatformError last_error_ = 0;
};

class CurlHttpSession final : public HttpSession {
 public:
  CurlHttpSession(std::shared_ptr<CurlCookieShare> share, SessionOptions options)
      : share_(std::move(share)), options_(std::move(options)) {}

  std::unique_ptr<HttpConnection> Connect(std::string_view host, unsigned port,
                                          bool secure) override {
    if (!IsPlainHost(host) || port == 0 || port > 65535) {
      last_error_ = CURLE_URL_MALFORMAT;
      return nullptr;
    }
    // An IPv6 literal needs brackets inside a URL.
    const bool ipv6 = host.find(':') != std::string_view::npos && host.front() != '[';
    std::string origin = secure ? "https://" : "http://";
    origin += ipv6 ? "[" + std::string(host) + "]" : std::string(host);
    origin += ":" + std::to_string(port);
    return std::make_unique<CurlHttpConnection>(share_, options_, std::move(origin));
  }

  PlatformError LastError() const override { return last_error_; }

 private:
  std::shared_ptr<CurlCookieShare> share_;
  SessionOptions options_;
  PlatformError last_error_ = 0;
};

}  // namespace

CurlHttpTransport::CurlHttpTransport(std::string cookie_jar_path, CookieSessions sessions) {
  InitializeCurlOnce();
  share_ = std::make_shared<CurlCookieShare>(std::move(cookie_jar_path),
                                             sessions == CookieSessions::kContinue);
}

CurlHttpTransport::~CurlHttpTransport() = default;

std::vector<std::string> CurlHttpTransport::ExportCookieLines() const {
  return share_->ExportLines();
}

void CurlHttpTransport::ImportCookieLines(const std::vector<std::string>& lines) {
  share_->ImportLines(lines);
}

std::unique_ptr<HttpSession> CurlHttpTransport::OpenSession(const SessionOptions& options) {
  if (options.access_type == 3 && options.proxy.empty()) return nullptr;
  return std::make_unique<CurlHttpSession>(share_, options);
}

}  // namespace quillo::http
