#include "SilentServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace quillo::testing {

SilentServer::SilentServer(std::string opening, bool close_after_opening)
    : opening_(std::move(opening)), close_after_opening_(close_after_opening) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listen_fd_, 16) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

SilentServer::~SilentServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listen_fd_ >= 0) close(listen_fd_);
}

std::string SilentServer::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::string SilentServer::ReceivedOnceItHolds(const std::string& text) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  std::string received = Received();
  while (received.find(text) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    received = Received();
  }
  return received;
}

void SilentServer::Serve() {
  std::vector<int> clients;  // held open until the server goes away
  std::vector<pollfd> fds{{listen_fd_, POLLIN, 0}};
  while (!stop_) {
    if (poll(fds.data(), fds.size(), 20) <= 0) continue;
    for (std::size_t i = 1; i < fds.size(); ++i) {
      if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
      char buffer[4096];
      const ssize_t count = read(fds[i].fd, buffer, sizeof buffer);
      if (count > 0) {
        std::lock_guard lock(mutex_);
        received_.append(buffer, static_cast<std::size_t>(count));
      } else {
        fds[i].fd = -1;  // the peer closed: poll ignores the entry from now on
      }
    }
    if ((fds[0].revents & POLLIN) != 0) {
      const int client = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) {
        clients.push_back(client);
        if (!opening_.empty()) (void)!write(client, opening_.data(), opening_.size());
        if (close_after_opening_) shutdown(client, SHUT_WR);
        fds.push_back({client, POLLIN, 0});
      }
    }
  }
  for (int client : clients) close(client);
}

}  // namespace quillo::testing
