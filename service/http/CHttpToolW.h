#pragma once
// Thin checked wrappers of the transport's operations: each failure becomes an
// httpclientexceptionW with the operation's error code (402-410, 400, 401) and the transport's
// last error. A null handle is an argument error ("CHttpToolW::SendRequest: hRequest can not be
// NULL."). Called on the thread that uses the handles.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/http/HttpTransport.h"

namespace Dravik {

class CHttpToolW {
 public:
  using Session = quillo::http::HttpSession;
  using Connection = quillo::http::HttpConnection;
  using Request = quillo::http::HttpRequest;

  static std::unique_ptr<Session> OpenSession(quillo::http::HttpTransport& transport,
                                              const quillo::http::SessionOptions& options);  // 402
  static std::unique_ptr<Connection> Connect(Session* session, std::string_view host, unsigned port,
                                             bool secure);  // 403
  static std::unique_ptr<Request> OpenRequest(Connection* connection, std::string_view verb,
                                              std::string_view object,
                                              std::uint32_t flags);  // 404
  static void SetProxyCredentials(Connection* connection, std::string_view user,
                                  std::string_view password);               // 410
  static void AddRequestHeaders(Request* request, std::string_view lines);  // 405
  static void SendRequest(Request* request);                                // 406
  static void SendRequestEx(Request* request, std::uint64_t length);        // 407
  static void WriteBody(Request* request, std::string_view bytes);          // 408
  static void EndRequest(Request* request);                                 // 409
  static unsigned QueryStatus(Request* request);                            // 400
  // Every occurrence of a header is index 0, 1, ...; nothing past the last.
  static std::optional<std::string> QueryHeader(Request* request, std::string_view name,
                                                std::size_t index);
  // Bytes read, 0 at the end of the body.
  static std::size_t ReadBody(Request* request, char* buffer, std::size_t size);       // 401
  static void SetReceiveTimeout(Request* request, std::chrono::milliseconds timeout);  // 410
};

}  // namespace Dravik
