#include "service/api/ServiceEndpoints.h"

#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"

namespace quillo::service {
namespace {

// A URL that names no scheme is taken as plain HTTP ("127.0.0.1:8080/" from a command line).
std::string WithSchemeAndSlash(std::string_view url) {
  std::string text = text::Trim(url);
  if (text.empty()) return text;
  if (text.find("://") == std::string::npos) text = "http://" + text;
  if (text.back() != '/') text += '/';
  return text;
}

// "host[:port]" of a URL (user information dropped), or of a bare "host[:port][/...]".
std::string HostAndPort(std::string_view url) {
  std::size_t scheme = url.find("://");
  if (scheme != std::string_view::npos) url.remove_prefix(scheme + 3);
  url = url.substr(0, url.find_first_of("/?#"));
  std::size_t at = url.rfind('@');
  if (at != std::string_view::npos) url.remove_prefix(at + 1);
  return std::string(url);
}

}  // namespace

ServiceEndpoints EndpointsForBaseUrl(std::string_view base_url) {
  ServiceEndpoints endpoints;
  endpoints.base_url = WithSchemeAndSlash(base_url);
  if (endpoints.base_url.empty()) return endpoints;
  endpoints.web_site = endpoints.base_url;
  endpoints.upload_host = HostAndPort(endpoints.base_url);
  return endpoints;
}

ServiceEndpoints ConfiguredEndpoints(const store::DocumentStore& store) {
  ServiceEndpoints endpoints = EndpointsForBaseUrl(store.GetConfigText(kServiceBaseUrlKey));
  if (!endpoints.configured()) return endpoints;
  std::string upload_host = text::Trim(store.GetConfigText(kServiceUploadHostKey));
  if (!upload_host.empty()) endpoints.upload_host = HostAndPort(upload_host);
  std::string web_site = store.GetConfigText(kServiceWebSiteKey);
  if (!text::Trim(web_site).empty()) endpoints.web_site = WithSchemeAndSlash(web_site);
  return endpoints;
}

}  // namespace quillo::service
