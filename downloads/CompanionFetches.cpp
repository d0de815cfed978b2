#include "downloads/CompanionFetches.h"

#include "downloads/DownloadEntries.h"
#include "downloads/DownloadPaths.h"
#include "downloads/SteadyMillis.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "service/transfer/SafeDownloader.h"
#include "service/transfer/TransferRecord.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/SafeNames.h"
#include "store/StoreRuntime.h"

namespace quillo::downloads {
namespace {

constexpr std::size_t kSignatureBytes = 16;

std::string AttributeOf(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

}  // namespace

bool CompanionFetches::Start(DownloadKind kind, const std::string& item_id,
                             const service::FileFetch& fetch, std::string final_path) {
  const std::string folder = parts_.runtime.store().FolderPath(".download");
  fs::CreateFolders(folder);
  // The file arrives beside the partial songs and is moved into place only when whole: a
  // half-written lyric or picture under its final name would count as present for good.
  const std::string partial = PartialPath(folder, DownloadKindName(kind), item_id);
  const std::string transfer_id =
      parts_.downloader.Download(fetch.url, partial, &parts_.callback, fetch.append_extension,
                                 fetch.min_size, fetch.max_size, fetch.attempts);
  if (transfer_id.empty()) return false;
  DownloadEntry entry;
  entry.item_id = item_id;
  entry.kind = kind;
  entry.transfer_id = transfer_id;
  entry.start_time_ms = SteadyMillis();
  entry.final_path = std::move(final_path);
  parts_.entries.Add(std::move(entry));
  return true;
}

bool CompanionFetches::FetchAlbumPicture(const std::string& music_id) {
  if (!parts_.urls.known()) return false;
  std::optional<store::MusicRecord> record = parts_.runtime.library().FindMusic(music_id);
  if (!record) return false;
  const std::string album_id = AttributeOf(*record, "album_id");
  if (album_id.empty()) return false;
  std::optional<std::string> copy = parts_.runtime.library().MusicPath(*record);
  if (!copy) return false;
  const std::string folder = fs::ParentFolder(*copy);
  if (folder.empty() || FindPicture(folder, "album")) return false;
  if (parts_.entries.IsRunning(DownloadKind::kAlbumPicture, album_id)) return false;
  return Start(DownloadKind::kAlbumPicture, album_id, parts_.urls.AlbumPicture(album_id),
               folder + "album");
}

bool CompanionFetches::FetchArtistPictureInto(const std::string& artist_id,
                                              const std::string& folder) {
  if (!parts_.urls.known() || folder.empty() || FindPicture(folder, "artist")) return false;
  if (parts_.entries.IsRunning(DownloadKind::kArtistPicture, artist_id)) return false;
  return Start(DownloadKind::kArtistPicture, artist_id, parts_.urls.ArtistPicture(artist_id),
               folder + "artist");
}

bool CompanionFetches::FetchArtistPictureForSong(const std::string& music_id) {
  std::optional<store::MusicRecord> record = parts_.runtime.library().FindMusic(music_id);
  if (!record) return false;
  const std::string artist_id = AttributeOf(*record, "artist_id");
  if (artist_id.empty() || text::Trim(AttributeOf(*record, "artist_name")).empty()) return false;
  return FetchArtistPictureInto(
      artist_id, ArtistFolderOf(*record, parts_.runtime.store().FolderPath("music")));
}

bool CompanionFetches::FetchArtistPicture(const std::string& artist_id,
                                          const std::string& artist_name) {
  if (artist_id.empty() || text::Trim(artist_name).empty()) return false;
  return FetchArtistPictureInto(
      artist_id, ArtistFolderNamed(artist_name, parts_.runtime.store().FolderPath("music")));
}

bool CompanionFetches::FetchLyric(const std::string& music_id) {
  if (!parts_.urls.known()) return false;
  std::optional<store::MusicRecord> record = parts_.runtime.library().FindMusic(music_id);
  if (!record) return false;
  const store::LyricLocation lyric = parts_.runtime.library().LyricPath(*record, true);
  if (lyric.found || lyric.path.empty()) return false;
  if (parts_.entries.IsRunning(DownloadKind::kLyric, music_id)) return false;
  // The service answers LRC text: it is stored as ".lrc" (a ".mrc" name would make the loader
  // take it for a karaoke script).
  const std::string extension = store::FileExtension(fs::BaseName(lyric.path));
  const std::string target = lyric.path.substr(0, lyric.path.size() - extension.size()) + ".lrc";
  return Start(DownloadKind::kLyric, music_id, parts_.urls.DownloadedSongLyric(music_id), target);
}

std::optional<std::string> CompanionFetches::Finish(const DownloadEntry& entry,
                                                    const service::TransferRecord& record) {
  const std::string& source = record.target_path();
  std::string target = entry.final_path;
  if (entry.kind != DownloadKind::kLyric) {
    // A picture keeps its own format: the URL's extension when it named a picture, else the
    // one its bytes show. Bytes that are no picture are dropped.
    std::string extension = text::ToLowerAscii(store::FileExtension(fs::BaseName(source)));
    if (extension != ".jpg" && extension != ".gif" && extension != ".png" && extension != ".bmp") {
      extension = PictureExtensionFromBytes(ReadFileHead(source, kSignatureBytes));
    }
    if (extension.empty()) {
      fs::RemoveFile(source);
      return std::nullopt;
    }
    target += extension;
  }
  fs::CreateFolders(fs::ParentFolder(target));
  if (!MoveFileOver(source, target)) {
    fs::RemoveFile(source);
    return std::nullopt;
  }
  return target;
}

}  // namespace quillo::downloads
