#pragma once
// A loopback server for transport tests: accepts connections, sends each one the same opening
// bytes (perhaps none) and then stays silent, holding the connection open until it goes away.
// It stands for a peer that stalls before or during its answer, or for a proxy whose requests the
// test reads (Received()).
#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace quillo::testing {

class SilentServer {
 public:
  // With `close_after_opening` each connection is closed once the opening is sent.
  explicit SilentServer(std::string opening = {}, bool close_after_opening = false);
  ~SilentServer();
  SilentServer(const SilentServer&) = delete;
  SilentServer& operator=(const SilentServer&) = delete;

  int port() const { return port_; }
  // Every byte received so far, from all connections.
  std::string Received() const;
  // The opening goes out as soon as a connection is accepted, so a client can have its answer
  // before this server has read the request: waits (at most 5 s) until `text` has arrived, and
  // answers everything received by then.
  std::string ReceivedOnceItHolds(const std::string& text) const;

 private:
  void Serve();

  std::string opening_;
  bool close_after_opening_ = false;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::string received_;
  std::thread thread_;
};

}  // namespace quillo::testing
