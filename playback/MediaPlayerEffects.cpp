// The player's equaliser and spectrum operations, kept apart so that users of the player that
// never draw a spectrum do not pull in the analyser.
#include "playback/EqualizerGains.h"
#include "playback/MediaPlayer.h"
#include "playback/SpectrumAnalyzer.h"

namespace quillo::playback {

void MediaPlayer::ApplyEqualizer() {
  if (graph_ != nullptr) playback::ApplyEqualizer(equalizer_gains_, *graph_);
}

void MediaPlayer::UpdateSpectrum() {
  if (spectrum_ == nullptr) spectrum_ = std::make_unique<SpectrumAnalyzer>();
  spectrum_->Update(graph_.get(), paused_);
}

}  // namespace quillo::playback
