#include "support/ScriptedHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace quillo::testing {
namespace {

constexpr std::size_t kHeaderLimit = 1 << 20;

std::string Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
    text.remove_suffix(1);
  return std::string(text);
}

const char* Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 206:
      return "Partial Content";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

}  // namespace

std::string ScriptedHttpServer::Request::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (key.size() == name.size() && strncasecmp(key.data(), name.data(), name.size()) == 0)
      return value;
  }
  return {};
}

bool ScriptedHttpServer::Exchange::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (server_.stopping_) return false;
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void ScriptedHttpServer::Exchange::Stall() {
  // Wakes for the server's stop, or when the peer hangs up.
  while (!server_.stopping_) {
    pollfd peer{fd_, POLLIN, 0};
    if (::poll(&peer, 1, 20) > 0) {
      char byte;
      if (::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) return;
      if (::recv(fd_, &byte, 1, 0) <= 0) return;  // drop what the peer sends
    }
  }
}

bool ScriptedHttpServer::Exchange::stopping() const {
  return server_.stopping_;
}

ScriptedHttpServer::ScriptedHttpServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) throw std::runtime_error("socket");
  int yes = 1;
  ::setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 64) != 0) {
    ::close(listen_fd_);
    throw std::runtime_error("bind/listen");
  }
  socklen_t length = sizeof address;
  ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
  stopping_ = true;
  acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (int fd : open_fds_) ::shutdown(fd, SHUT_RDWR);
  }
  for (std::thread& connection : connections_) connection.join();
  ::close(listen_fd_);
}

std::string ScriptedHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<ScriptedHttpServer::Request> ScriptedHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::string ScriptedHttpServer::Head(
    int status, const std::vector<std::pair<std::string, std::string>>& headers) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) + "\r\n";
  for (const auto& [name, value] : headers) head += name + ": " + value + "\r\n";
  return head + "\r\n";
}

std::string ScriptedHttpServer::Answer(
    int status, const std::string& body,
    const std::vector<std::pair<std::string, std::string>>& headers) {
  auto all = headers;
  all.emplace_back("Content-Length", std::to_string(body.size()));
  all.emplace_back("Connection", "close");
  return Head(status, all) + body;
}

void ScriptedHttpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd listener{listen_fd_, POLLIN, 0};
    if (::poll(&listener, 1, 20) <= 0) continue;
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard lock(mutex_);
    open_fds_.push_back(fd);
    connections_.emplace_back([this, fd] { Serve(fd); });
  }
}

void ScriptedHttpServer::Serve(int fd) {
  std::string data;
  std::size_t header_end = std::string::npos;
  char buffer[16384];
  while (header_end == std::string::npos && data.size() < kHeaderLimit && !stopping_) {
    pollfd peer{fd, POLLIN, 0};
    if (::poll(&peer, 1, 20) <= 0) continue;
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
    header_end = data.find("\r\n\r\n");
  }
  if (header_end != std::string::npos) {
    Request request;
    std::string_view head(data.data(), header_end);
    std::size_t line_end = head.find("\r\n");
    std::string_view first = head.substr(0, line_end);
    const std::size_t space = first.find(' ');
    request.method = std::string(first.substr(0, space));
    if (space != std::string_view::npos) {
      std::string_view rest = first.substr(space + 1);
      request.target = std::string(rest.substr(0, rest.find(' ')));
    }
    while (line_end != std::string_view::npos) {
      head.remove_prefix(line_end + 2);
      line_end = head.find("\r\n");
      std::string_view line = head.substr(0, line_end);
      const std::size_t colon = line.find(':');
      if (colon != std::string_view::npos)
        request.headers.emplace_back(Trimmed(line.substr(0, colon)),
                                     Trimmed(line.substr(colon + 1)));
    }
    request.body = data.substr(header_end + 4);
    const std::size_t length = std::strtoull(request.Header("Content-Length").c_str(), nullptr, 10);
    while (request.body.size() < length && !stopping_) {
      pollfd peer{fd, POLLIN, 0};
      if (::poll(&peer, 1, 20) <= 0) continue;
      const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.body.append(buffer, static_cast<std::size_t>(got));
    }
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    Exchange exchange(*this, fd);
    handler_(request, exchange);
  }
  std::lock_guard lock(mutex_);
  open_fds_.erase(std::remove(open_fds_.begin(), open_fds_.end(), fd), open_fds_.end());
  ::close(fd);
}

}  // namespace quillo::testing
