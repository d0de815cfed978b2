#pragma once
// A request sender that records what would have been sent and answers ids "1", "2", ... like
// the safe downloader. Nothing is sent and no callback is called; tests drive callbacks
// themselves.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service/api/RequestSender.h"

namespace quillo::testing {

class FakeRequestSender : public service::RequestSender {
 public:
  struct Sent {
    bool is_request = false;
    std::string id;
    std::string url;
    std::optional<service::FormParams> params;  // requests only
    service::SafeDownloaderCallback* callback = nullptr;
    std::string target_path;  // downloads only
    bool append_extension = false;
    std::int64_t min_size = 0;
    std::int64_t max_size = 0;
    int attempts = 0;
  };

  std::string Request(const std::string& url, std::optional<service::FormParams> parameters,
                      service::SafeDownloaderCallback* callback) override {
    Sent sent;
    sent.is_request = true;
    sent.url = url;
    sent.params = std::move(parameters);
    sent.callback = callback;
    sent.attempts = 1;
    return Record(std::move(sent));
  }

  std::string Download(const std::string& url, const std::string& target_path,
                       service::SafeDownloaderCallback* callback, bool append_extension,
                       std::int64_t min_size, std::int64_t max_size, int attempts) override {
    return Record(Sent{false,
                       {},
                       url,
                       std::nullopt,
                       callback,
                       target_path,
                       append_extension,
                       min_size,
                       max_size,
                       attempts});
  }

  std::vector<Sent> sent;

 private:
  std::string Record(Sent entry) {
    entry.id = std::to_string(++counter_);
    sent.push_back(std::move(entry));
    return sent.back().id;
  }

  int counter_ = 0;
};

}  // namespace quillo::testing
