// The main window's artist picture: found or fetched at every song start, drawn beside the
// volume slider in the normal layout, and handed to the media-player service.
#include "downloads/DownloadManager.h"
#include "platform/fs/FileSystem.h"
#include "platform/gfx/ImageDecoder.h"
#include "platform/gfx/Painter.h"
#include "ui/main/DownloadedArtistPictures.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {

void SorvelMainDlg::OnArtistPictureDownloaded(const std::string& artist_id,
                                              const std::string& path) {
  if (!artist_picture_.OnDownloaded(artist_id, path)) return;
  LoadArtistPicture();
  listeners_.ForEach(
      [this](MainWindowListener& listener) { listener.OnArtPathChanged(artist_picture_.path()); });
}

void SorvelMainDlg::LoadArtistPicture() {
  const bool was_shown = artist_image_.has_value();
  artist_image_.reset();
  if (!artist_picture_.path().empty()) {
    if (std::optional<std::string> bytes = fs::ReadWholeFile(artist_picture_.path()))
      artist_image_ = gfx::DecodeImage(*bytes);
    // A file that is no readable picture stays on disk and is not offered as art either.
    if (!artist_image_ || artist_image_->IsNull()) {
      artist_image_.reset();
      artist_picture_.Drop();
    }
  }
  // The picture is part of the background (the user name beside it moves with it).
  if (!mini_ && (was_shown || artist_image_)) Redraw();
}

void SorvelMainDlg::DrawArtistPicture() {
  if (mini_ || !artist_image_ || back_buffer().IsNull()) return;
  gfx::Painter p(back_buffer());
  p.DrawImage(*artist_image_, gfx::Rect{0, 0, artist_image_->width(), artist_image_->height()},
              MainLayout::ArtistPictureRect());
}

}  // namespace quillo::ui
