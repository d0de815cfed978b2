#pragma once
// What the lyric side needs of the safe downloader: start a GET into a file and cancel it.
// SafeDownloaderLyricTransfers forwards to the process's downloader; tests record.
//
// Window thread, like the downloader itself.
#include <cstdint>
#include <string>

namespace quillo::service {
class SafeDownloaderCallback;
}

namespace quillo::lyrics {

class LyricTransfers {
 public:
  virtual ~LyricTransfers() = default;
  // Starts a GET of `url` into `target_path` (sizes in bytes, 0: no limit) and answers the
  // transfer id, or empty when nothing was started (the downloader shut down).
  virtual std::string Download(const std::string& url, const std::string& target_path,
                               service::SafeDownloaderCallback* callback, bool append_extension,
                               std::int64_t min_size, std::int64_t max_size, int attempts) = 0;
  // Ends the transfer: its partial file is deleted and no callback follows. Unknown ids are
  // ignored.
  virtual void Cancel(const std::string& id) = 0;
};

}  // namespace quillo::lyrics
