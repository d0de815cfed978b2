#pragma once
// The request sender over the process's safe downloader. Window thread.
#include "service/api/RequestSender.h"

namespace quillo::service {

class SafeDownloaderSender : public RequestSender {
 public:
  // The downloader must outlive this sender.
  explicit SafeDownloaderSender(SafeDownloader& downloader) : downloader_(downloader) {}

  std::string Request(const std::string& url, std::optional<FormParams> parameters,
                      SafeDownloaderCallback* callback) override {
    return downloader_.Request(url, std::move(parameters), callback);
  }
  std::string Download(const std::string& url, const std::string& target_path,
                       SafeDownloaderCallback* callback, bool append_extension,
                       std::int64_t min_size, std::int64_t max_size, int attempts) override {
    return downloader_.Download(url, target_path, callback, append_extension, min_size, max_size,
                                attempts);
  }

 private:
  SafeDownloader& downloader_;
};

}  // namespace quillo::service
