#pragma once
// Stops a running download of a song before the library deletes it (the download manager
// implements it). Called on the window thread with the store's lock held.
#include <string>

namespace quillo::store {

class DownloadStopper {
 public:
  virtual ~DownloadStopper() = default;
  virtual void StopDownload(const std::string& music_id) = 0;
};

}  // namespace quillo::store
