#include "service/upload/HttpUploadHost.h"

#include <algorithm>

#include "service/UserAgent.h"

namespace quillo::service {
namespace {

// The objects of one request; members go in reverse order, the request first.
struct OpenedRequest {
  std::unique_ptr<http::HttpSession> session;
  std::unique_ptr<http::HttpConnection> connection;
  std::unique_ptr<http::HttpRequest> request;
};

std::optional<unsigned> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + static_cast<unsigned>(c - '0');
  }
  if (port == 0 || port > 65535) return std::nullopt;
  return port;
}

// The body's first bytes up to the answer limit; empty when the body cannot be read.
std::string ReadAnswer(http::HttpRequest& request) {
  std::string answer(kUploadAnswerMaxBytes, '\0');
  std::size_t have = 0;
  while (have < answer.size()) {
    const std::ptrdiff_t got = request.Read(answer.data() + have, answer.size() - have);
    if (got < 0) return {};
    if (got == 0) break;
    have += static_cast<std::size_t>(got);
  }
  answer.resize(have);
  return answer;
}

}  // namespace

std::optional<HostAndPort> ParseUploadHost(std::string_view text) {
  HostAndPort result;
  std::string_view host = text;
  std::string_view port;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = text.substr(1, close - 1);
    std::string_view rest = text.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
      if (port.empty()) return std::nullopt;
    }
  } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
    if (port.empty()) return std::nullopt;
  }
  if (host.empty() || host.find_first_of("/ \t\r\n") != std::string_view::npos) return std::nullopt;
  if (!port.empty()) {
    const auto number = ParsePort(port);
    if (!number) return std::nullopt;
    result.port = *number;
  }
  result.host = std::string(host);
  return result;
}

HttpUploadHost::HttpUploadHost(http::HttpTransport& transport, std::string upload_host,
                               std::shared_ptr<const std::atomic<bool>> abort,
                               std::chrono::milliseconds receive_timeout)
    : transport_(transport),
      upload_host_(std::move(upload_host)),
      abort_(std::move(abort)),
      receive_timeout_(receive_timeout) {}

namespace {

std::optional<OpenedRequest> OpenHostRequest(http::HttpTransport& transport,
                                             const std::string& upload_host,
                                             const std::shared_ptr<const std::atomic<bool>>& abort,
                                             std::chrono::milliseconds receive_timeout,
                                             std::string_view verb, std::string_view path) {
  if (abort && abort->load()) return std::nullopt;
  const auto address = ParseUploadHost(upload_host);
  if (!address) return std::nullopt;
  http::SessionOptions options;
  options.user_agent = UserAgent();
  options.abort = abort;
  OpenedRequest opened;
  opened.session = transport.OpenSession(options);
  if (!opened.session) return std::nullopt;
  opened.connection = opened.session->Connect(address->host, address->port, /*secure=*/false);
  if (!opened.connection) return std::nullopt;
  opened.request = opened.connection->OpenRequest(verb, path, kKeepConnectionFlag);
  if (!opened.request) return std::nullopt;
  if (!opened.request->AddHeaders("Connection: Keep-Alive\r\n")) return std::nullopt;
  opened.request->SetReceiveTimeout(receive_timeout);
  return opened;
}

}  // namespace

std::string HttpUploadHost::HostGet(std::string_view path) {
  auto opened = OpenHostRequest(transport_, upload_host_, abort_, receive_timeout_, "GET", path);
  if (!opened || !opened->request->Send()) return {};
  return ReadAnswer(*opened->request);
}

std::string HttpUploadHost::HostPost(std::string_view path, std::string_view body) {
  auto opened = OpenHostRequest(transport_, upload_host_, abort_, receive_timeout_, "POST", path);
  if (!opened) return {};
  http::HttpRequest& request = *opened->request;
  if (!request.BeginSend(body.size())) return {};
  // Handed over in pieces so that the transport never needs the whole chunk at once.
  constexpr std::size_t kPieceBytes = 64 * 1024;
  for (std::size_t at = 0; at < body.size(); at += kPieceBytes) {
    if (!request.WriteBody(body.substr(at, std::min(kPieceBytes, body.size() - at)))) return {};
  }
  if (!request.EndRequest()) return {};
  const unsigned status = request.Status();
  if (status != 200 && status != 201) return {};
  return ReadAnswer(request);
}

}  // namespace quillo::service
