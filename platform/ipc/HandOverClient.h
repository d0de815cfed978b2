#pragma once
// The second instance's end of the hand-over: connects to the running instance's socket, sends
// one request and waits until the running instance has handled it.
#include <chrono>
#include <string>

#include "platform/ipc/HandOverMessage.h"

namespace quillo::ipc {

enum class HandOverResult {
  kHandled,     // the running instance answered that it handled the request
  kNoInstance,  // nobody listens on the socket (no file, or a stale one)
  kFailed,      // connected, but the request was refused, the peer closed or time ran out
};

// Blocks for at most about the timeout for each of connecting, sending and waiting for the
// answer. Any thread.
HandOverResult SendHandOver(const std::string& socket_path, const HandOverMessage& message,
                            std::chrono::milliseconds timeout);

}  // namespace quillo::ipc
