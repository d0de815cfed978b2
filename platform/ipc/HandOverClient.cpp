#include "platform/ipc/HandOverClient.h"

#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>

#include "platform/ipc/SocketAddress.h"
#include "platform/ipc/UniqueFd.h"

namespace quillo::ipc {

HandOverResult SendHandOver(const std::string& socket_path, const HandOverMessage& message,
                            std::chrono::milliseconds timeout) {
  sockaddr_un address;
  if (!MakeSocketAddress(socket_path, &address)) return HandOverResult::kNoInstance;
  UniqueFd socket_fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!socket_fd.valid()) return HandOverResult::kFailed;
  timeval limit{};
  limit.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  limit.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  // For Unix sockets the send time-out bounds connect as well (a full accept queue).
  ::setsockopt(socket_fd.get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
  ::setsockopt(socket_fd.get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  int connected;
  do {
    connected =
        ::connect(socket_fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (connected != 0 && errno == EINTR);
  if (connected != 0) {
    return errno == ENOENT || errno == ECONNREFUSED ? HandOverResult::kNoInstance
                                                    : HandOverResult::kFailed;
  }
  std::string frame = EncodeRequest(message);
  std::size_t sent = 0;
  while (sent < frame.size()) {
    ssize_t count = ::send(socket_fd.get(), frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return HandOverResult::kFailed;
    sent += static_cast<std::size_t>(count);
  }
  FrameReader answer(0);
  char buffer[64];
  while (answer.state() == FrameReader::State::kNeedMore) {
    ssize_t count =
        ::recv(socket_fd.get(), buffer, std::min(sizeof buffer, answer.BytesWanted()), 0);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return HandOverResult::kFailed;
    answer.Feed(std::string_view(buffer, static_cast<std::size_t>(count)));
  }
  bool handled = answer.state() == FrameReader::State::kComplete &&
                 answer.kind() == static_cast<std::uint32_t>(HandOverKind::kHandled);
  return handled ? HandOverResult::kHandled : HandOverResult::kFailed;
}

}  // namespace quillo::ipc
