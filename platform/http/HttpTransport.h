#pragma once
// The HTTP transport under the client library: sessions, connections and requests in the shape
// of the system's HTTP service (open a session, connect to a host, open a request, add header
// lines, send with or without a body, query status and headers, read the body in pieces).
//
// Every object is used by one thread at a time (a transfer's worker). Objects may be destroyed
// in any order. Blocking operations (Send, BeginSend/WriteBody/EndRequest, Read) return false or
// -1 within about 100 ms once the session's abort flag is set, so a worker can always be ended
// from another thread, even on a connection that has stalled.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::http {

// The platform error of the last failed operation (curl's codes here), 0 when none.
using PlatformError = int;

class HttpRequest {
 public:
  virtual ~HttpRequest() = default;

  // Adds header lines ("Name: value\r\n", one or more). Before the request is sent. A header of
  // the same name added again replaces the earlier one.
  virtual bool AddHeaders(std::string_view lines) = 0;

  // Sends the request without a body and waits for the status line and every header.
  virtual bool Send() = 0;

  // Sends the request announcing a body of `length` bytes (Content-Length), then takes the body
  // through WriteBody in any number of pieces; EndRequest waits for the status and headers.
  // Writing more than announced fails. The body is never buffered whole.
  virtual bool BeginSend(std::uint64_t length) = 0;
  virtual bool WriteBody(std::string_view bytes) = 0;
  virtual bool EndRequest() = 0;

  // After Send/EndRequest succeeded: the final status code (interim 1xx answers are skipped).
  virtual unsigned Status() const = 0;
  // The index-th value (0 = first) of a response header, name compared without case; nothing
  // when there are fewer occurrences.
  virtual std::optional<std::string> Header(std::string_view name, std::size_t index) const = 0;

  // Reads up to `size` body bytes, waiting until at least one byte has arrived. Answers the
  // number of bytes, 0 at the end of the body, -1 on failure (connection lost, receive time-out
  // passed without a byte, abort). Pull mode: nothing beyond a small window is buffered ahead.
  virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
  // Body bytes a Read would answer now without waiting (what has already arrived is taken in
  // first). 0 when nothing has, at the end, or where the transport cannot tell.
  virtual std::size_t Available() { return 0; }

  // How long Read may wait for the next byte; default 60 s.
  virtual void SetReceiveTimeout(std::chrono::milliseconds timeout) = 0;

  virtual PlatformError LastError() const = 0;
};

class HttpConnection {
 public:
  virtual ~HttpConnection() = default;
  // verb "GET"/"POST"; object is the path and query ("/api/x.php?a=1"). Flags are the
  // request flags of the client library (reload, no cache write, keep-alive, ...); the
  // transport honours what it can and ignores the rest. Null on failure.
  virtual std::unique_ptr<HttpRequest> OpenRequest(std::string_view verb, std::string_view object,
                                                   std::uint32_t flags) = 0;
  // Credentials for the session's proxy.
  virtual bool SetProxyCredentials(std::string_view user, std::string_view password) = 0;
  virtual PlatformError LastError() const = 0;
};

struct SessionOptions {
  std::string user_agent;
  // 0: the system's proxy settings (the environment's http_proxy and no_proxy here);
  // 1: direct; 3: the named proxy.
  int access_type = 0;
  std::string proxy;
  std::string proxy_bypass;
  std::uint32_t flags = 0;
  // When set (from any thread), every blocking operation of this session's requests fails soon.
  std::shared_ptr<const std::atomic<bool>> abort;
};

class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // `secure` selects TLS. Null on failure.
  virtual std::unique_ptr<HttpConnection> Connect(std::string_view host, unsigned port,
                                                  bool secure) = 0;
  virtual PlatformError LastError() const = 0;
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // Any thread. Null on failure.
  virtual std::unique_ptr<HttpSession> OpenSession(const SessionOptions& options) = 0;
};

}  // namespace quillo::http
