#pragma once
// The upload host's routines over the HTTP transport. Every call opens a session of its own
// (user agent "Sorvel Client - 1.3.1", the system's proxy settings), connects to the upload host
// (port 80 unless the host text names one), asks to reuse a kept-alive connection and sends
// "Connection: Keep-Alive".
//
// Any thread, several at once. The transport must outlive this object. When the abort flag is
// set, every request in progress fails within the transport's bound and later ones fail at once.
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/http/HttpTransport.h"
#include "service/upload/UploadHost.h"

namespace quillo::service {

// The request flag of the client library that reuses an existing connection.
inline constexpr std::uint32_t kKeepConnectionFlag = 0x20000000;

// "host[:port]" with port 80 when none is given; "[v6]:port" is understood too. Nothing for an
// empty host or a port that is not a number from 1 to 65535.
struct HostAndPort {
  std::string host;
  unsigned port = 80;
};
std::optional<HostAndPort> ParseUploadHost(std::string_view text);

class HttpUploadHost : public UploadHost {
 public:
  HttpUploadHost(http::HttpTransport& transport, std::string upload_host,
                 std::shared_ptr<const std::atomic<bool>> abort,
                 std::chrono::milliseconds receive_timeout = std::chrono::seconds(60));

  std::string HostGet(std::string_view path) override;
  std::string HostPost(std::string_view path, std::string_view body) override;

 private:
  http::HttpTransport& transport_;
  std::string upload_host_;
  std::shared_ptr<const std::atomic<bool>> abort_;
  std::chrono::milliseconds receive_timeout_;
};

}  // namespace quillo::service
