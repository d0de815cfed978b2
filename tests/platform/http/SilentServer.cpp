#include "SilentServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace quillo::testing {

SilentServer::SilentServer(std::string opening) : opening_(std::move(opening)) {
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

void SilentServer::Serve() {
  std::vector<int> clients;
  while (!stop_) {
    pollfd listener{listen_fd_, POLLIN, 0};
    if (poll(&listener, 1, 20) > 0) {
      const int client = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client >= 0) {
        if (!opening_.empty()) (void)!write(client, opening_.data(), opening_.size());
        clients.push_back(client);
      }
    }
  }
  for (int client : clients) close(client);
}

}  // namespace quillo::testing
