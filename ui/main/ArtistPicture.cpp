#include "ui/main/ArtistPicture.h"

#include "platform/text/TextUtil.h"

namespace quillo::ui {

std::string ArtistPicture::OnSongStarted(const std::string& music_id, const std::string& artist_id,
                                         const std::string& artist_name) {
  path_.clear();
  waiting_ = false;
  artist_id_ = artist_id;
  if (source_ == nullptr || music_id.empty()) return path_;
  if (std::optional<std::string> found = source_->FindPicture(music_id, artist_name)) {
    path_ = *found;
    return path_;
  }
  // Without a name there is no folder to put the picture in, and without an id nothing to ask.
  if (!artist_id.empty() && !text::Trim(artist_name).empty())
    waiting_ = source_->FetchPicture(music_id, artist_id, artist_name);
  return path_;
}

bool ArtistPicture::OnDownloaded(const std::string& artist_id, const std::string& path) {
  if (artist_id.empty() || artist_id != artist_id_ || path.empty()) return false;
  waiting_ = false;
  path_ = path;
  return true;
}

}  // namespace quillo::ui
