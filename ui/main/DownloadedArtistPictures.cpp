#include "ui/main/DownloadedArtistPictures.h"

#include "downloads/DownloadManager.h"
#include "downloads/DownloadPaths.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"

namespace quillo::ui {

std::optional<std::string> DownloadedArtistPictures::FindPicture(const std::string& music_id,
                                                                 const std::string& artist_name) {
  const std::string music_folder = runtime_.store().FolderPath("music");
  // A stored song's picture sits beside the song; a streamed one's in the named artist folder.
  if (std::optional<store::MusicRecord> record = runtime_.library().FindMusic(music_id)) {
    const std::string folder = downloads::ArtistFolderOf(*record, music_folder);
    if (!folder.empty())
      if (auto found = downloads::FindPicture(folder, "artist")) return found;
  }
  if (artist_name.empty()) return std::nullopt;
  return downloads::FindPicture(downloads::ArtistFolderNamed(artist_name, music_folder), "artist");
}

bool DownloadedArtistPictures::FetchPicture(const std::string& music_id,
                                            const std::string& artist_id,
                                            const std::string& artist_name) {
  if (runtime_.library().FindMusic(music_id) && manager_.FetchArtistPictureForSong(music_id))
    return true;
  return manager_.FetchArtistPicture(artist_id, artist_name);
}

}  // namespace quillo::ui
