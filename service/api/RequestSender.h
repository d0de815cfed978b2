#pragma once
// What the request catalogue needs of the safe downloader: start a form POST or a file GET and
// answer the transfer id. SafeDownloaderSender forwards to the real downloader; tests record.
//
// Window thread, like the downloader itself.
#include <cstdint>
#include <optional>
#include <string>

#include "service/transfer/SafeDownloader.h"

namespace quillo::service {

class RequestSender {
 public:
  virtual ~RequestSender() = default;

  // A form POST of `parameters` to `url` (one attempt); `callback` may be null.
  virtual std::string Request(const std::string& url, std::optional<FormParams> parameters,
                              SafeDownloaderCallback* callback) = 0;
  // A GET of `url` into `target_path` with the size limits (bytes, 0: none) and attempts.
  virtual std::string Download(const std::string& url, const std::string& target_path,
                               SafeDownloaderCallback* callback, bool append_extension,
                               std::int64_t min_size, std::int64_t max_size, int attempts) = 0;
};

}  // namespace quillo::service
