#pragma once
// The renderer's volume scale: hundredths of a decibel, 0 full and -10000 silence. The player's
// volume v (0..100) maps to v × 40 − 4000 (100 → 0, 50 → −2000, 1 → −3960) and 0 to silence.
// Mute is silence, whether the graph is built while mute is on or mute is switched on during
// playback. Any thread.
namespace quillo::playback {

class AudioLevels {
 public:
  static constexpr int kSilence = -10000;
  static constexpr int kDefaultVolume = 80;

  static constexpr int Centibels(int volume) {
    if (volume <= 0) return kSilence;
    if (volume > 100) volume = 100;
    return volume * 40 - 4000;
  }
  // Balance -100..100 as the renderer's hundredths of a decibel.
  static constexpr int BalanceCentibels(int balance) {
    if (balance < -100) balance = -100;
    if (balance > 100) balance = 100;
    return balance * 100;
  }
};

}  // namespace quillo::playback
