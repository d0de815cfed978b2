#pragma once
// The fourteen equaliser presets (index, name, ten gains in dB). Row 0, "自定义" (custom), holds
// the user's own gains, rounded to whole dB, whenever a band slider moves (SetCustom); the other
// rows never change. Window thread only; the equaliser dialog owns one table for the process.
#include <array>
#include <string_view>

#include "playback/EqualizerGains.h"

namespace quillo::playback {

class EqualizerPresets {
 public:
  static constexpr int kCount = 14;
  static constexpr int kCustom = 0;
  using Row = std::array<int, EqualizerGains::kBands>;

  EqualizerPresets();

  // Index outside 0..13: the custom row's name and gains.
  std::string_view Name(int index) const;
  const Row& Gains(int index) const;

  // Row 0 := the gains rounded to whole dB (halves away from zero).
  void SetCustom(const EqualizerGains& gains);
  // Every band takes the row's gain (index clamped as for Gains).
  void ApplyTo(int index, EqualizerGains& gains) const;

 private:
  std::array<Row, kCount> rows_;
};

}  // namespace quillo::playback
