#pragma once
// One answer as the safe downloader's worker sees it. Used by that worker thread only.
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace quillo::service {

class TransferResponse {
 public:
  virtual ~TransferResponse() = default;
  // The status code; 0 when it cannot be read.
  virtual unsigned Status() = 0;
  // Every value of a header (name compared without case), in the order received.
  virtual std::vector<std::string> HeaderValues(const char* name) = 0;
  // Up to `size` body bytes; 0 at the end of the body, -1 on failure (lost connection, receive
  // time-out, abort).
  virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
  // Body bytes that Read would answer at once, without waiting; 0 when it cannot tell.
  virtual std::size_t Available() { return 0; }
  virtual void SetReceiveTimeout(std::chrono::milliseconds timeout) = 0;
};

}  // namespace quillo::service
