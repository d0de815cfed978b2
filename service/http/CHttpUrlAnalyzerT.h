#pragma once
// Splits an absolute URL into scheme, host, port and object (path and query). Throws
// httpclientexceptionW: 103 when there is no "://" or no host, or the host part holds user
// information or characters no host has; 107 for an explicit port that is empty, longer than
// five characters, not decimal, 0 or above 65535. Accepts any bytes without crashing.
#include <cstdint>
#include <string>
#include <string_view>

namespace Dravik {

class CHttpUrlAnalyzerT {
 public:
  // The request flag of a secure (TLS) connection.
  static constexpr std::uint32_t kSecureFlag = 0x00800000;

  explicit CHttpUrlAnalyzerT(std::string_view url);

  const std::string& Scheme() const { return scheme_; }
  const std::string& Host() const { return host_; }
  unsigned Port() const { return port_; }
  // Path and query; "/" followed by the query (or nothing) when the URL has no path.
  const std::string& Object() const { return object_; }
  bool Secure() const { return secure_; }
  std::uint32_t RequestFlags() const { return secure_ ? kSecureFlag : 0; }

 private:
  std::string scheme_;
  std::string host_;
  unsigned port_ = 80;
  std::string object_;
  bool secure_ = false;
};

}  // namespace Dravik
