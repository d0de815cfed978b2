#pragma once
// The artist pictures of the download manager: a song's artist folder is looked in for an
// "artist.*" file, and a missing picture is fetched by the manager (which tells its listener
// when it is in place). Window thread only; the manager and the store outlive the object.
#include "ui/main/ArtistPicture.h"

namespace quillo::downloads {
class DownloadManager;
}
namespace quillo::store {
class StoreRuntime;
}

namespace quillo::ui {

class DownloadedArtistPictures : public ArtistPicture::Source {
 public:
  DownloadedArtistPictures(downloads::DownloadManager& manager, store::StoreRuntime& runtime)
      : manager_(manager), runtime_(runtime) {}

  std::optional<std::string> FindPicture(const std::string& music_id,
                                         const std::string& artist_name) override;
  bool FetchPicture(const std::string& music_id, const std::string& artist_id,
                    const std::string& artist_name) override;

 private:
  downloads::DownloadManager& manager_;
  store::StoreRuntime& runtime_;
};

}  // namespace quillo::ui
