#pragma once
// The files that belong with a song: its album picture, its artist's picture and its lyric.
// Each fetch starts a transfer into the ".download" folder and records an entry; it does
// nothing when the file is already there or the same kind of fetch for the same item runs.
// Finish moves a finished file into place.
//
// Window thread only.
#include <optional>
#include <string>

#include "downloads/DownloadEntry.h"
#include "service/api/ServiceFileUrls.h"

namespace quillo::service {
class SafeDownloader;
class SafeDownloaderCallback;
class TransferRecord;
}  // namespace quillo::service
namespace quillo::store {
class StoreRuntime;
}

namespace quillo::downloads {

class DownloadEntries;

class CompanionFetches {
 public:
  struct Parts {
    store::StoreRuntime& runtime;
    service::SafeDownloader& downloader;
    DownloadEntries& entries;
    // Gets the transfers' callbacks (the download manager).
    service::SafeDownloaderCallback& callback;
    // The manager's URL builders; none while the service's address is unknown (nothing starts).
    const service::ServiceFileUrls& urls;
  };

  explicit CompanionFetches(Parts parts) : parts_(parts) {}

  // Each answers whether a transfer was started.
  bool FetchAlbumPicture(const std::string& music_id);
  bool FetchArtistPictureForSong(const std::string& music_id);
  bool FetchArtistPicture(const std::string& artist_id, const std::string& artist_name);
  bool FetchLyric(const std::string& music_id);

  // For a companion entry whose transfer finished whole: moves the file into place and answers
  // its final path; none when it could not be placed (the partial file is then removed).
  std::optional<std::string> Finish(const DownloadEntry& entry,
                                    const service::TransferRecord& record);

 private:
  bool FetchArtistPictureInto(const std::string& artist_id, const std::string& folder);
  bool Start(DownloadKind kind, const std::string& item_id, const service::FileFetch& fetch,
             std::string final_path);

  Parts parts_;
};

}  // namespace quillo::downloads
