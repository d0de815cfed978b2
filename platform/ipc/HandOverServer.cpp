#include "platform/ipc/HandOverServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/ipc/SocketAddress.h"

namespace quillo::ipc {
namespace {

constexpr int kListenBacklog = 16;

bool SameUser(int connection) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
  return credentials.uid == ::getuid();
}

}  // namespace

HandOverServer::HandOverServer(std::string socket_path, std::chrono::milliseconds read_timeout)
    : socket_path_(std::move(socket_path)), read_timeout_(read_timeout) {}

HandOverServer::~HandOverServer() {
  Stop();
}

bool HandOverServer::Listen() {
  if (listen_fd_.valid()) return true;
  sockaddr_un address;
  if (!MakeSocketAddress(socket_path_, &address)) return false;
  UniqueFd socket_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket_fd.valid()) return false;
  // The caller holds the instance lock, so a socket file here belongs to an instance that died.
  struct stat existing {};
  if (::lstat(socket_path_.c_str(), &existing) == 0 && S_ISSOCK(existing.st_mode)) {
    ::unlink(socket_path_.c_str());
  }
  if (::bind(socket_fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return false;
  }
  ::chmod(socket_path_.c_str(), 0600);
  if (::listen(socket_fd.get(), kListenBacklog) != 0) {
    ::unlink(socket_path_.c_str());
    return false;
  }
  struct stat bound {};
  if (::lstat(socket_path_.c_str(), &bound) == 0) {
    socket_inode_ = bound.st_ino;
    socket_device_ = bound.st_dev;
  }
  int wake[2];
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
    ::unlink(socket_path_.c_str());
    return false;
  }
  wake_read_ = UniqueFd(wake[0]);
  wake_write_ = UniqueFd(wake[1]);
  listen_fd_ = std::move(socket_fd);
  return true;
}

void HandOverServer::Start(loop::LoopTarget& target, Handler handler) {
  if (!listen_fd_.valid() || worker_.joinable()) return;
  target_ = &target;
  handler_ = std::move(handler);
  worker_ = std::thread([this] { Serve(); });
}

void HandOverServer::Stop() {
  if (wake_write_.valid()) {
    char byte = 1;
    [[maybe_unused]] ssize_t ignored = ::write(wake_write_.get(), &byte, 1);
  }
  if (worker_.joinable()) worker_.join();
  if (listen_fd_.valid()) {
    struct stat current {};
    if (::lstat(socket_path_.c_str(), &current) == 0 && current.st_ino == socket_inode_ &&
        current.st_dev == socket_device_) {
      ::unlink(socket_path_.c_str());
    }
  }
  listen_fd_.Reset();
  wake_read_.Reset();
  wake_write_.Reset();
}

void HandOverServer::Serve() {
  while (true) {
    pollfd watched[2] = {{listen_fd_.get(), POLLIN, 0}, {wake_read_.get(), POLLIN, 0}};
    int ready = ::poll(watched, 2, -1);
    if (ready < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (watched[1].revents != 0) return;
    if (watched[0].revents & (POLLERR | POLLNVAL)) return;
    if ((watched[0].revents & POLLIN) == 0) continue;
    int connection = ::accept4(listen_fd_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) {
      // Out of descriptors or the like: wait a little (or for Stop) instead of spinning.
      if (errno != EAGAIN && errno != EINTR && errno != ECONNABORTED) {
        pollfd wake = {wake_read_.get(), POLLIN, 0};
        if (::poll(&wake, 1, 100) > 0) return;
      }
      continue;
    }
    ServeConnection(UniqueFd(connection));
  }
}

void HandOverServer::ServeConnection(UniqueFd connection) {
  if (!SameUser(connection.get())) return;
  FrameReader reader;
  auto deadline = std::chrono::steady_clock::now() + read_timeout_;
  char buffer[4096];
  while (reader.state() == FrameReader::State::kNeedMore) {
    auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (remaining.count() <= 0) return;
    pollfd watched[2] = {{connection.get(), POLLIN, 0}, {wake_read_.get(), POLLIN, 0}};
    int ready = ::poll(watched, 2, static_cast<int>(remaining.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || watched[1].revents != 0) return;
    ssize_t count =
        ::recv(connection.get(), buffer, std::min(sizeof buffer, reader.BytesWanted()), 0);
    if (count < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (count <= 0) return;
    reader.Feed(std::string_view(buffer, static_cast<std::size_t>(count)));
  }
  if (reader.state() != FrameReader::State::kComplete) return;
  std::optional<HandOverMessage> message = DecodeRequest(reader.kind(), reader.payload());
  if (!message) return;
  // The connection travels with the task: if the target is gone before it runs, the task and
  // with it the connection are dropped, and the peer sees no answer.
  auto shared_connection = std::make_shared<UniqueFd>(std::move(connection));
  target_->Post([handler = handler_, shared_connection, request = std::move(*message)] {
    handler(request);
    std::string answer = EncodeFrame(HandOverKind::kHandled, {});
    [[maybe_unused]] ssize_t ignored =
        ::send(shared_connection->get(), answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  });
}

}  // namespace quillo::ipc
