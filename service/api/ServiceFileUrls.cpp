#include "service/api/ServiceFileUrls.h"

#include "service/api/UrlEncoding.h"
#include "service/transfer/SafeDownloader.h"
#include "store/ProgramVersion.h"

namespace quillo::service {

FileFetch ServiceFileUrls::Fetch(std::string url, bool append_extension, std::int64_t min_size,
                                 std::int64_t max_size) const {
  return FileFetch{std::move(url), append_extension, min_size, max_size,
                   SafeDownloader::kDefaultAttempts};
}

FileFetch ServiceFileUrls::SongDownload(std::string_view item_kind,
                                        std::string_view music_id) const {
  return Fetch(endpoints().base_url + UrlEncode(item_kind) + "/download.php?id=" +
                   UrlEncode(music_id) + "&type=download&client_id=" + UrlEncode(client_id_),
               true, kSongMinSize, kSongMaxSize);
}

FileFetch ServiceFileUrls::ArtistPicture(std::string_view artist_id) const {
  return Fetch(endpoints().base_url + "music/download_image.php?id=" + UrlEncode(artist_id) +
                   "&type=artist&size=64",
               true, 0, kPictureMaxSize);
}

FileFetch ServiceFileUrls::AlbumPicture(std::string_view album_id) const {
  return Fetch(endpoints().base_url + "music/download_image.php?id=" + UrlEncode(album_id) +
                   "&type=musicalbum&size=64",
               true, 0, kPictureMaxSize);
}

FileFetch ServiceFileUrls::DownloadedSongLyric(std::string_view music_id) const {
  return Fetch(
      endpoints().base_url + "music/download_lyric.php?id=" + UrlEncode(music_id) + "&type=lrc",
      true, 0, kLyricMaxSize);
}

FileFetch ServiceFileUrls::PlaybackLyric(std::string_view music_id, bool confirmed) const {
  return Fetch(endpoints().base_url + "music/download_lyric.php?id=" + UrlEncode(music_id) +
                   "&type=lrc" + (confirmed ? "&checked=1" : ""),
               false, 0, 0);
}

FileFetch ServiceFileUrls::LyricByName(std::string_view name) const {
  return Fetch(
      endpoints().base_url + "music/download_lyric.php?name=" + UrlEncode(name) + "&type=lrc", true,
      0, 0);
}

FileFetch ServiceFileUrls::SongStream(std::string_view music_id) const {
  return Fetch(endpoints().base_url + "music/download_shiting.php?id=" + UrlEncode(music_id), true,
               0, 0);
}

FileFetch ServiceFileUrls::VersionCheck() const {
  return Fetch(
      endpoints().base_url + "api/checkversion.php?version=" + std::string(store::kProgramVersion),
      false, 0, 0);
}

FileFetch ServiceFileUrls::GraphicsLibrary() const {
  return Fetch(endpoints().web_site + "data/exe/gdiplus.dll", false, 0, kGraphicsLibraryMaxSize);
}

}  // namespace quillo::service
