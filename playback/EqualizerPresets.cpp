#include "playback/EqualizerPresets.h"

#include <cmath>

namespace quillo::playback {
namespace {

constexpr std::array<std::string_view, EqualizerPresets::kCount> kNames = {
    "自定义", "流行", "蓝调", "摇滚", "慢歌", "爵士", "古典",
    "舞曲",   "重低", "电子", "重高", "清新", "混响", "瑞格",
};

constexpr std::array<EqualizerPresets::Row, EqualizerPresets::kCount> kRows = {{
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},          // custom
    {4, 2, 0, -3, -6, -6, -3, 0, 1, 3},      // pop
    {3, 6, 8, 3, -2, 0, 4, 7, 9, 10},        // blues
    {7, 4, -4, 7, -2, 1, 5, 7, 9, 9},        // rock
    {5, 4, 2, 0, -2, 0, 3, 6, 7, 8},         // slow songs
    {0, 0, 0, 5, 5, 5, 0, 3, 4, 5},          // jazz
    {0, 0, 0, 0, 0, 0, -6, -6, -6, -8},      // classical
    {7, 6, 3, 0, 0, -4, -6, -6, 0, 0},       // dance
    {9, 8, 8, 8, 6, -2, -8, -10, -10, -10},  // heavy bass
    {6, 5, 0, -5, -4, 0, 6, 8, 8, 7},        // electronic
    {-8, -8, -8, -3, 2, 7, 12, 12, 12, 0},   // heavy treble
    {-2, 3, 5, 6, 4, -1, -2, -2, -2, -2},    // fresh
    {8, 8, 4, 4, 0, -4, -4, -4, 0, 0},       // reverb
    {0, 0, 0, 0, -4, 0, 5, 5, 0, 0},         // reggae
}};

int Clamp(int index) {
  return index >= 0 && index < EqualizerPresets::kCount ? index : EqualizerPresets::kCustom;
}

}  // namespace

EqualizerPresets::EqualizerPresets() : rows_(kRows) {}

std::string_view EqualizerPresets::Name(int index) const {
  return kNames[Clamp(index)];
}

const EqualizerPresets::Row& EqualizerPresets::Gains(int index) const {
  return rows_[Clamp(index)];
}

void EqualizerPresets::SetCustom(const EqualizerGains& gains) {
  for (int band = 0; band < EqualizerGains::kBands; ++band) {
    rows_[kCustom][band] = static_cast<int>(std::lround(gains.Gain(band)));
  }
}

void EqualizerPresets::ApplyTo(int index, EqualizerGains& gains) const {
  const Row& row = Gains(index);
  for (int band = 0; band < EqualizerGains::kBands; ++band) gains.SetGain(band, row[band]);
}

}  // namespace quillo::playback
