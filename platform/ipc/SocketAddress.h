#pragma once
// Filling a Unix socket address (internal to platform/ipc).
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <string>

namespace quillo::ipc {

// False when the path does not fit into sun_path with its terminator.
inline bool MakeSocketAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.data(), path.size());
  return true;
}

}  // namespace quillo::ipc
