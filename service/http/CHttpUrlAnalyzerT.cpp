#include "service/http/CHttpUrlAnalyzerT.h"

#include <algorithm>
#include <cctype>

#include "service/http/CHttpClientMapT.h"
#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

bool IsHostChar(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte > ' ' && byte != 127 && c != '@' && c != '\\' && c != '%' && c != '[' && c != ']';
}

unsigned ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw httpclientexceptionW(kInvalidPort);
  }
  unsigned port = 0;
  for (char c : text) port = port * 10 + static_cast<unsigned>(c - '0');
  if (port == 0 || port > 65535) throw httpclientexceptionW(kInvalidPort);
  return port;
}

}  // namespace

CHttpUrlAnalyzerT::CHttpUrlAnalyzerT(std::string_view url) {
  const std::size_t scheme_end = url.find("://");
  if (scheme_end == std::string_view::npos || scheme_end == 0) {
    throw httpclientexceptionW(kInvalidUrl);
  }
  scheme_ = url.substr(0, scheme_end);
  secure_ = CHttpClientMapT::CompareNames(scheme_, "https") == 0;
  port_ = secure_ ? 443 : 80;

  const std::string_view rest = url.substr(scheme_end + 3);
  const std::size_t authority_end = std::min(rest.find_first_of("/?#"), rest.size());
  std::string_view authority = rest.substr(0, authority_end);
  std::string_view host = authority;
  std::string_view port_text;
  bool has_port = false;
  if (!authority.empty() && authority.front() == '[') {  // an IPv6 literal
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) throw httpclientexceptionW(kInvalidUrl);
    host = authority.substr(1, close - 1);
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty() && after.front() != ':') throw httpclientexceptionW(kInvalidUrl);
    has_port = !after.empty();
    if (has_port) port_text = after.substr(1);
    if (!std::all_of(host.begin(), host.end(), [](char c) {
          return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
        })) {
      throw httpclientexceptionW(kInvalidUrl);
    }
  } else if (const std::size_t colon = authority.rfind(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    port_text = authority.substr(colon + 1);
    has_port = true;
    if (!std::all_of(host.begin(), host.end(), [](char c) { return IsHostChar(c) && c != ':'; })) {
      throw httpclientexceptionW(kInvalidUrl);
    }
  } else if (!std::all_of(host.begin(), host.end(), IsHostChar)) {
    throw httpclientexceptionW(kInvalidUrl);
  }
  if (host.empty()) throw httpclientexceptionW(kInvalidUrl);
  if (has_port) port_ = ParsePort(port_text);
  host_ = host;

  const std::string_view object = rest.substr(authority_end);
  object_ =
      object.empty() || object.front() != '/' ? "/" + std::string(object) : std::string(object);
}

}  // namespace Dravik
