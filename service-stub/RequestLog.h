#pragma once
// Every request the service receives (apart from the test controls), in order of arrival, with
// its query and form parameters in the order they were sent. Kept in memory, at most kCapacity
// entries (the oldest go first). Thread-safe.
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "service-stub/Params.h"

namespace quillo::stub {

struct LoggedRequest {
  std::int64_t seq = 0;  // assigned by Append, from 1
  std::string server;    // "main" or "upload"
  std::string method;
  std::string path;
  Params query;
  Params form;  // url-encoded bodies only
  std::vector<std::pair<std::string, std::string>> headers;
  std::uint64_t body_bytes = 0;
  int status = 0;  // 0 until the answer is known
};

class RequestLog {
 public:
  static constexpr std::size_t kCapacity = 20000;

  std::int64_t Append(LoggedRequest request);
  void SetStatus(std::int64_t seq, int status);
  void Clear();
  // {"requests":[...]} with the entries whose seq is greater than `since`.
  std::string ToJson(std::int64_t since);

 private:
  std::mutex mutex_;
  std::deque<LoggedRequest> entries_;
  std::int64_t next_seq_ = 1;
};

}  // namespace quillo::stub
