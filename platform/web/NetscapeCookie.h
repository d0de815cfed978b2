#pragma once
// One line of a Netscape cookie file (the format of curl's cookie list and of the cookie jar):
// seven fields separated by tabs — domain, whether subdomains match ("TRUE"/"FALSE"), path,
// secure ("TRUE"/"FALSE"), expiry (seconds since 1970, 0 for a session cookie), name, value.
// An HttpOnly cookie's domain carries the prefix "#HttpOnly_". Any thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::web {

struct NetscapeCookie {
  std::string domain;  // without the HttpOnly prefix; a leading '.' as written
  bool include_subdomains = false;
  std::string path = "/";
  bool secure = false;
  bool http_only = false;
  std::int64_t expires = 0;  // 0: ends with the session
  std::string name;
  std::string value;

  // No value for comments, blank lines and lines without a domain or a name.
  static std::optional<NetscapeCookie> Parse(std::string_view line);
  // The line, without a line end.
  std::string Format() const;
};

}  // namespace quillo::web
