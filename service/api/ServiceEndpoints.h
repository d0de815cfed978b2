#pragma once
// The three addresses of the service: the base URL under which every service call and file
// fetch lies, the upload host, and the web site whose pages open in the user's browser.
// Configured by keys of our own; when no base URL is configured the program starts the
// embedded stand-in service and points all three at it.
#include <string>
#include <string_view>

#include "store/ConfigKeys.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::service {

inline constexpr std::string_view kServiceBaseUrlKey = store::keys::kServiceBaseUrl;
inline constexpr std::string_view kServiceUploadHostKey = store::keys::kServiceUploadHost;
inline constexpr std::string_view kServiceWebSiteKey = store::keys::kServiceWebSite;

struct ServiceEndpoints {
  std::string base_url;     // "http://host[:port]/...", always ending in '/'
  std::string upload_host;  // "host[:port]" (port 80 when absent)
  std::string web_site;     // "http://host[:port]/...", always ending in '/'

  bool configured() const { return !base_url.empty(); }
};

// The endpoints the store's configuration names; a base URL without its trailing '/' gets one.
// The web site defaults to the base URL and the upload host to the base URL's host and port.
// An empty base URL means: not configured.
ServiceEndpoints ConfiguredEndpoints(const store::DocumentStore& store);

// The same rules for a base URL given on a command line (quillo-tool --service URL).
ServiceEndpoints EndpointsForBaseUrl(std::string_view base_url);

}  // namespace quillo::service
