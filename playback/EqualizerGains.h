#pragma once
// The ten equaliser band gains of the process, in dB, and their configuration form. The player
// applies them to every graph it builds (ApplyEqualizer); the equaliser dialog changes them.
//
// Configuration:
//   "sorvel.eq.value": the ten gains, each printed "%.2f," (so the text ends with a comma).
//     Loading splits at commas; a value above 12 or below -12 reads as 0; the gains are taken
//     only when exactly ten values were read, otherwise they stay as they were.
//   "sorvel.eq.type": the selected preset's index; read back as is when 0..12, as 13 otherwise.
//
// Window thread only (a plain value type; no locking).
#include <array>
#include <string>

namespace quillo::store {
class DocumentStore;
}
namespace quillo::audio {
class MediaGraph;
}

namespace quillo::playback {

class EqualizerGains {
 public:
  static constexpr int kBands = 10;
  static constexpr double kMinGainDb = -12.0;
  static constexpr double kMaxGainDb = 12.0;
  static constexpr int kLastPlainPreset = 12;  // read rule: above (or negative) reads as 13
  static constexpr int kOutOfRangePreset = 13;

  // Every band starts at 0 dB.
  EqualizerGains() = default;

  // 0 for a band outside 0..kBands-1.
  double Gain(int band) const;
  // Clamps to -12..12; ignores a band outside 0..kBands-1.
  void SetGain(int band, double db);
  void SetAll(double db);
  const std::array<double, kBands>& gains() const { return gains_; }

  // Reads "sorvel.eq.value" (see above). A missing or malformed value keeps the gains.
  void Load(const store::DocumentStore& store);
  // Writes "sorvel.eq.value" and "sorvel.eq.type" (the preset index given by SetPresetIndex).
  void Save(store::DocumentStore& store) const;

  // The "sorvel.eq.type" read rule: 0..12 as is, anything else 13; a missing key reads as 0.
  static int LoadPresetIndex(const store::DocumentStore& store);
  int preset_index() const { return preset_index_; }
  void SetPresetIndex(int index) { preset_index_ = index; }

  // The configuration text form of the gains, "4.00,2.00,...,0.00,".
  std::string ToText() const;
  // Parses the configuration text form; true (and the gains replaced) only when it held exactly
  // ten values. Never throws on malformed text: unparseable pieces count as 0.
  bool FromText(const std::string& text);

 private:
  std::array<double, kBands> gains_{};
  int preset_index_ = 0;
};

// For every stage of `graph` named "ParamEq<n>" with 0 <= n < 10, sets its gain to gains[n].
// Stages that are missing are left alone; centre frequency and bandwidth stay as the graph has
// them. Window thread.
void ApplyEqualizer(const EqualizerGains& gains, audio::MediaGraph& graph);

}  // namespace quillo::playback
