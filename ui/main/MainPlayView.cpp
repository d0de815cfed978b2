#include "ui/main/MainPlayView.h"

#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {

void MainPlayView::SetStatusText(const std::string& text) {
  window_.SetStatusText(text);
}
void MainPlayView::ShowPauseButton(bool show_pause) {
  window_.ShowPauseButton(show_pause);
}
void MainPlayView::ClearTimeDisplay() {
  window_.ClearTimeDisplay();
}
void MainPlayView::ShowTime(int position_s, int length_s) {
  window_.ShowTime(position_s, length_s);
}
void MainPlayView::ResetSeekBar() {
  window_.ResetSeekBar();
}
void MainPlayView::ShowVolume(int volume) {
  window_.ShowVolume(volume);
}
void MainPlayView::ShowMuted(bool muted) {
  window_.ShowMuted(muted);
}
void MainPlayView::SetTitleMarquee(bool running) {
  window_.SetTitleMarquee(running);
}
void MainPlayView::MarkPlayingSong(const std::string& music_id) {
  window_.MarkPlayingSong(music_id);
}
void MainPlayView::SetCurrentArtist(const std::string& artist_id, const std::string& artist_name) {
  window_.SetCurrentArtist(artist_id, artist_name);
}
void MainPlayView::ShowNowPlaying(const std::string& title) {
  window_.ShowNowPlaying(title);
}

}  // namespace quillo::ui
