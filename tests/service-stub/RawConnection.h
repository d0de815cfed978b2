#pragma once
// One client connection to the service over a plain socket, for tests that need control over
// when bytes are sent: half requests that stall, pipelined requests, requests without a length.
// Closes its socket when destroyed.
#include <string>

namespace quillo::testing {

class RawConnection {
 public:
  RawConnection() = default;
  ~RawConnection();
  RawConnection(RawConnection&& other) noexcept;
  RawConnection& operator=(RawConnection&& other) noexcept;
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  // Connects to 127.0.0.1:port; false when refused.
  bool Open(int port);
  // Sends every byte; false when the connection broke.
  bool Send(const std::string& bytes);
  // True when the peer closed (or reset) the connection within timeout_ms; bytes that arrive
  // meanwhile are kept in received().
  bool WaitClosed(int timeout_ms);
  // Reads until received() holds `text` (true) or the peer closes or timeout_ms pass (false).
  bool ReadUntil(const std::string& text, int timeout_ms);
  // Reads until the peer closes or nothing arrives for idle_timeout_ms; everything read so far.
  const std::string& ReadAll(int idle_timeout_ms);
  const std::string& received() const { return received_; }

 private:
  int fd_ = -1;
  std::string received_;
};

}  // namespace quillo::testing
