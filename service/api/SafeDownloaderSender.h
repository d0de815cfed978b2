#pragma once
// The request sender over the process's safe downloader. Window thread.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/loop/MainLoop.h"
#include "service/api/RequestSender.h"

namespace quillo::service {

class SafeDownloaderSender : public RequestSender {
 public:
  // The downloader must outlive this sender.
  explicit SafeDownloaderSender(SafeDownloader& downloader) : downloader_(downloader) {}

  std::string Request(const std::string& url, std::optional<FormParams> parameters,
                      SafeDownloaderCallback* callback) override {
    return Track(downloader_.Request(url, std::move(parameters), callback));
  }
  std::string Download(const std::string& url, const std::string& target_path,
                       SafeDownloaderCallback* callback, bool append_extension,
                       std::int64_t min_size, std::int64_t max_size, int attempts) override {
    return Track(downloader_.Download(url, target_path, callback, append_extension, min_size,
                                      max_size, attempts));
  }

  // Handles the loop's events until every transfer started through this sender has ended (its
  // finish step ran: a fire-and-forget request has then been delivered and answered, or has
  // failed), or until the time-out passed. Answers whether all ended. For a process that exits
  // right after sending (quillo-tool): the downloader's Shutdown would cut them off. Window
  // thread, not from inside a transfer callback.
  bool Drain(loop::MainLoop& loop, std::chrono::milliseconds timeout) {
    const bool drained = loop.PumpUntil(
        [this] {
          Prune();
          return sent_.empty();
        },
        timeout);
    Prune();
    return drained;
  }
  // Transfers started through this sender that have not ended yet.
  std::size_t pending() {
    Prune();
    return sent_.size();
  }

 private:
  std::string Track(std::string id) {
    Prune();
    if (!id.empty()) sent_.push_back(id);
    return id;
  }
  void Prune() {
    std::erase_if(sent_, [this](const std::string& id) { return downloader_.Find(id) == nullptr; });
  }

  SafeDownloader& downloader_;
  std::vector<std::string> sent_;
};

}  // namespace quillo::service
