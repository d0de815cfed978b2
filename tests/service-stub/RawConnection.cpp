#include "RawConnection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <utility>

namespace quillo::testing {

RawConnection::~RawConnection() {
  if (fd_ >= 0) ::close(fd_);
}

RawConnection::RawConnection(RawConnection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), received_(std::move(other.received_)) {}

RawConnection& RawConnection::operator=(RawConnection&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    received_ = std::move(other.received_);
  }
  return *this;
}

bool RawConnection::Open(int port) {
  if (fd_ >= 0) ::close(fd_);
  received_.clear();
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd_);
    fd_ = -1;
    return false;
  }
  return true;
}

bool RawConnection::Send(const std::string& bytes) {
  std::size_t sent = 0;
  while (fd_ >= 0 && sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return fd_ >= 0;
}

bool RawConnection::WaitClosed(int timeout_ms) {
  if (fd_ < 0) return true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) return false;
    pollfd waiting{fd_, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(left)) <= 0) return false;
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) return true;
    received_.append(buffer, static_cast<std::size_t>(n));
  }
}

bool RawConnection::ReadUntil(const std::string& text, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  char buffer[4096];
  while (fd_ >= 0 && received_.find(text) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    pollfd waiting{fd_, POLLIN, 0};
    if (left <= 0 || ::poll(&waiting, 1, static_cast<int>(left)) <= 0) return false;
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    received_.append(buffer, static_cast<std::size_t>(n));
  }
  return fd_ >= 0;
}

const std::string& RawConnection::ReadAll(int idle_timeout_ms) {
  char buffer[65536];
  while (fd_ >= 0) {
    pollfd waiting{fd_, POLLIN, 0};
    if (::poll(&waiting, 1, idle_timeout_ms) <= 0) break;
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    received_.append(buffer, static_cast<std::size_t>(n));
  }
  return received_;
}

}  // namespace quillo::testing
