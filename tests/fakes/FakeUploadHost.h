#pragma once
// An upload host in memory: issues ids, keeps the bytes sent to it as the real host does
// (a chunk at `seek` cuts what it holds there and appends), answers the byte count it holds,
// and records every request. Tests replace its answers through the hooks to play a failing
// or lying host. Thread-safe: several workers may use one fake.
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "service/upload/UploadHost.h"

namespace quillo::testing {

class FakeUploadHost : public service::UploadHost {
 public:
  struct Request {
    std::string method;  // "GET" or "POST"
    std::string path;
    std::string action;  // "start", "send", "end"
    std::uint64_t seek = 0;
    std::size_t body_bytes = 0;
  };

  // Answer of the n-th start request (0-based); default: "{id:'<upload_id>'}".
  std::function<std::string(int n)> start_answer;
  // Answer of the n-th chunk (0-based) instead of storing it; nothing: store and answer as the
  // real host does.
  std::function<std::optional<std::string>(int n, std::uint64_t seek, std::string_view body)>
      chunk_answer;
  // Runs at every request before it is answered (for looking at the upload map meanwhile).
  std::function<void(const Request&)> on_request;
  std::string upload_id = "abc";

  std::string HostGet(std::string_view path) override {
    Request request = Describe("GET", path, 0);
    if (on_request) on_request(request);
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    if (request.action != "start") return "{state:'done'}";
    const int n = starts_++;
    return start_answer ? start_answer(n) : "{id:'" + upload_id + "'}";
  }

  std::string HostPost(std::string_view path, std::string_view body) override {
    Request request = Describe("POST", path, body.size());
    if (on_request) on_request(request);
    std::lock_guard lock(mutex_);
    requests_.push_back(request);
    const int n = chunks_++;
    if (chunk_answer) {
      if (auto answer = chunk_answer(n, request.seek, body)) return *answer;
    }
    if (request.seek <= stored_.size()) {
      stored_.resize(static_cast<std::size_t>(request.seek));
      stored_.append(body);
    }
    return "{id:'" + upload_id + "',file_length:" + std::to_string(stored_.size()) + "}";
  }

  std::vector<Request> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }
  std::vector<Request> requests(const std::string& action) const {
    std::vector<Request> matching;
    for (const Request& request : requests()) {
      if (request.action == action) matching.push_back(request);
    }
    return matching;
  }
  std::string stored() const {
    std::lock_guard lock(mutex_);
    return stored_;
  }

 private:
  static std::string QueryValue(std::string_view path, std::string_view name) {
    const std::string key = std::string(name) + "=";
    std::size_t at = path.find('?');
    while (at != std::string_view::npos) {
      ++at;
      if (path.substr(at, key.size()) == key) {
        const std::size_t end = path.find('&', at);
        return std::string(path.substr(at + key.size(), end == std::string_view::npos
                                                            ? std::string_view::npos
                                                            : end - at - key.size()));
      }
      at = path.find('&', at);
    }
    return {};
  }

  static Request Describe(const char* method, std::string_view path, std::size_t body_bytes) {
    Request request;
    request.method = method;
    request.path = std::string(path);
    request.action = QueryValue(path, "action");
    const std::string seek = QueryValue(path, "seek");
    request.seek = seek.empty() ? 0 : std::stoull(seek);
    request.body_bytes = body_bytes;
    return request;
  }

  mutable std::mutex mutex_;
  std::vector<Request> requests_;
  std::string stored_;
  int starts_ = 0;
  int chunks_ = 0;
};

}  // namespace quillo::testing
