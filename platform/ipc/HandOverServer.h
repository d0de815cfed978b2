#pragma once
// The running instance's end of the hand-over socket (a Unix stream socket, mode 0600).
//
// A worker thread accepts connections, takes only peers of the same user, reads one request
// frame within a deadline and checks it (HandOverMessage.h); a valid request is posted to the
// window thread, where the handler runs and the answer frame is written once it has returned,
// so a second instance learns that its request was handled. Malformed, oversized or slow
// requests are dropped by closing the connection; nothing a peer sends can stop the server.
//
// Lifecycle (window thread): Listen once the single-instance lock is held (it replaces a stale
// socket file left by a crashed instance), Start when the loop is about to run, Stop (or the
// destructor) before the LoopTarget goes away. Connections made between Listen and Start wait in
// the socket's queue and are served after Start.
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/ipc/HandOverMessage.h"
#include "platform/ipc/UniqueFd.h"
#include "platform/loop/LoopTarget.h"

namespace quillo::ipc {

class HandOverServer {
 public:
  using Handler = std::function<void(const HandOverMessage&)>;

  explicit HandOverServer(std::string socket_path,
                          std::chrono::milliseconds read_timeout = std::chrono::seconds(2));
  ~HandOverServer();
  HandOverServer(const HandOverServer&) = delete;
  HandOverServer& operator=(const HandOverServer&) = delete;

  // Binds and listens. False when the path is too long for a socket or cannot be bound.
  bool Listen();
  // Starts serving; the handler runs on the target's window thread. The target must outlive
  // Stop. Needs a successful Listen.
  void Start(loop::LoopTarget& target, Handler handler);
  // Ends the worker, closes the socket and removes its file. Safe to call more than once.
  void Stop();

  const std::string& socket_path() const { return socket_path_; }
  bool listening() const { return listen_fd_.valid(); }

 private:
  void Serve();
  void ServeConnection(UniqueFd connection);

  std::string socket_path_;
  std::chrono::milliseconds read_timeout_;
  UniqueFd listen_fd_;
  UniqueFd wake_read_;
  UniqueFd wake_write_;
  std::thread worker_;
  loop::LoopTarget* target_ = nullptr;
  Handler handler_;
  // Identity of the socket file this server made, so Stop never removes another's.
  unsigned long long socket_inode_ = 0;
  unsigned long long socket_device_ = 0;
};

}  // namespace quillo::ipc
