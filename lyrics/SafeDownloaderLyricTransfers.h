#pragma once
// The lyric transfers over the process's safe downloader. Window thread.
#include "lyrics/LyricTransfers.h"
#include "service/transfer/SafeDownloader.h"

namespace quillo::lyrics {

class SafeDownloaderLyricTransfers : public LyricTransfers {
 public:
  // The downloader must outlive this object.
  explicit SafeDownloaderLyricTransfers(service::SafeDownloader& downloader)
      : downloader_(downloader) {}

  std::string Download(const std::string& url, const std::string& target_path,
                       service::SafeDownloaderCallback* callback, bool append_extension,
                       std::int64_t min_size, std::int64_t max_size, int attempts) override {
    return downloader_.Download(url, target_path, callback, append_extension, min_size, max_size,
                                attempts);
  }
  void Cancel(const std::string& id) override { downloader_.Cancel(id); }

 private:
  service::SafeDownloader& downloader_;
};

}  // namespace quillo::lyrics
