#pragma once
// The file fetches of the request catalogue (GET into a file through the safe downloader): one
// builder per row, each with its size limits and attempts. Ids and names placed in a URL are
// URL-encoded. Where the file goes is decided by the row's owner (downloads, lyrics, player,
// update). Builders; any thread when made with fixed endpoints, the window thread when they read
// the run's shared ones.
#include <string>
#include <string_view>

#include "service/api/FileFetch.h"
#include "service/api/ServiceEndpoints.h"
#include "service/api/SharedEndpoints.h"

namespace quillo::service {

class ServiceFileUrls {
 public:
  static constexpr std::int64_t kSongMinSize = 512000;
  static constexpr std::int64_t kSongMaxSize = 20000000;
  static constexpr std::int64_t kPictureMaxSize = 1000000;
  static constexpr std::int64_t kLyricMaxSize = 1000000;
  static constexpr std::int64_t kGraphicsLibraryMaxSize = 10000000;

  ServiceFileUrls(ServiceEndpoints endpoints, std::string client_id)
      : fixed_(std::move(endpoints)), client_id_(std::move(client_id)) {}
  // Reads the run's addresses at every build; `shared` must outlive the builder.
  ServiceFileUrls(const SharedEndpoints& shared, std::string client_id)
      : shared_(&shared), client_id_(std::move(client_id)) {}

  // Whether there is an address to build on.
  bool known() const { return endpoints().configured(); }

  // item_kind is normally "music".
  FileFetch SongDownload(std::string_view item_kind, std::string_view music_id) const;
  FileFetch ArtistPicture(std::string_view artist_id) const;
  FileFetch AlbumPicture(std::string_view album_id) const;
  // The lyric stored beside a downloaded song.
  FileFetch DownloadedSongLyric(std::string_view music_id) const;
  // The lyric for playback, by song id; `confirmed` asks for the checked lyric.
  FileFetch PlaybackLyric(std::string_view music_id, bool confirmed = false) const;
  // The lyric for a local song, by its name.
  FileFetch LyricByName(std::string_view name) const;
  FileFetch SongStream(std::string_view music_id) const;
  // Asks for a newer program (the answer is the program itself, or nothing).
  FileFetch VersionCheck() const;
  FileFetch GraphicsLibrary() const;

 private:
  FileFetch Fetch(std::string url, bool append_extension, std::int64_t min_size,
                  std::int64_t max_size) const;

  const ServiceEndpoints& endpoints() const { return shared_ ? shared_->Get() : fixed_; }

  const SharedEndpoints* shared_ = nullptr;
  ServiceEndpoints fixed_;
  std::string client_id_;
};

}  // namespace quillo::service
