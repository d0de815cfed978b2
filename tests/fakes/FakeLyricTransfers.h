#pragma once
// Lyric transfers that start nothing: each download is recorded with the id it was given ("1",
// "2", ...) and each cancel is recorded. Tests end transfers themselves through
// LyricAnalyzer::OnTransferEnded, writing the file first when the transfer "succeeds".
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/LyricTransfers.h"

namespace quillo::testing {

class FakeLyricTransfers : public lyrics::LyricTransfers {
 public:
  struct Started {
    std::string id;
    std::string url;
    std::string target_path;
    service::SafeDownloaderCallback* callback = nullptr;
    bool append_extension = false;
    std::int64_t min_size = 0;
    std::int64_t max_size = 0;
    int attempts = 0;
  };

  std::string Download(const std::string& url, const std::string& target_path,
                       service::SafeDownloaderCallback* callback, bool append_extension,
                       std::int64_t min_size, std::int64_t max_size, int attempts) override {
    if (refuse) return {};
    started.push_back({std::to_string(++counter_), url, target_path, callback, append_extension,
                       min_size, max_size, attempts});
    return started.back().id;
  }
  void Cancel(const std::string& id) override { cancelled.push_back(id); }

  bool WasCancelled(const std::string& id) const {
    return std::find(cancelled.begin(), cancelled.end(), id) != cancelled.end();
  }

  std::vector<Started> started;
  std::vector<std::string> cancelled;
  bool refuse = false;  // answer no id, as a downloader after shutdown

 private:
  int counter_ = 0;
};

}  // namespace quillo::testing
