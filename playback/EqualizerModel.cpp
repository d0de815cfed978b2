#include "playback/EqualizerModel.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace quillo::playback {

EqualizerModel::EqualizerModel(EqualizerGains& gains, EqualizerPresets& presets,
                               store::DocumentStore& store, Apply apply, int travel_px)
    : gains_(gains),
      presets_(presets),
      store_(store),
      apply_(std::move(apply)),
      travel_px_(std::max(1, travel_px)) {
  gains_.SetPresetIndex(EqualizerGains::LoadPresetIndex(store_));
  KnobsFromGains();
}

double EqualizerModel::GainForKnob(int knob_px) const {
  knob_px = std::clamp(knob_px, 0, travel_px_);
  return EqualizerGains::kMaxGainDb - knob_px * 24.0 / travel_px_;
}

int EqualizerModel::KnobForGain(double db) const {
  return static_cast<int>(std::lround((EqualizerGains::kMaxGainDb - db) * travel_px_ / 24.0));
}

int EqualizerModel::BalanceForKnob(int position_px, int usable_width_px) {
  if (usable_width_px <= 0) return 0;
  return std::clamp(position_px * 200 / usable_width_px - 100, -100, 100);
}

int EqualizerModel::BalanceKnob(int balance) {
  return balance * 61 / 200 + 66;
}

void EqualizerModel::MoveBand(int band, int knob_px) {
  if (!enabled_ || band < 0 || band >= EqualizerGains::kBands) return;
  knobs_[band] = std::clamp(knob_px, 0, travel_px_);
  FollowNeighbours(band);
  for (int b = 0; b < EqualizerGains::kBands; ++b) gains_.SetGain(b, GainForKnob(knobs_[b]));
  presets_.SetCustom(gains_);
  gains_.SetPresetIndex(EqualizerPresets::kCustom);
  SaveAndMaybeApply(false);
}

void EqualizerModel::ReleaseBand(int band) {
  if (!enabled_ || band < 0 || band >= EqualizerGains::kBands) return;
  FollowNeighbours(band);
  for (int b = 0; b < EqualizerGains::kBands; ++b) gains_.SetGain(b, GainForKnob(knobs_[b]));
  SaveAndMaybeApply(true);
}

void EqualizerModel::ChoosePreset(int index) {
  if (!enabled_ || index < 0 || index >= EqualizerPresets::kCount) return;
  gains_.SetPresetIndex(index);
  presets_.ApplyTo(index, gains_);
  KnobsFromGains();
  SaveAndMaybeApply(true);
}

void EqualizerModel::ToggleEnabled() {
  enabled_ = !enabled_;
  gains_.SetAll(0.0);
  KnobsFromGains();
  SaveAndMaybeApply(true);
}

void EqualizerModel::Reset() {
  if (!enabled_) return;
  gains_.SetPresetIndex(EqualizerPresets::kCustom);
  gains_.SetAll(0.0);
  KnobsFromGains();
  SaveAndMaybeApply(true);
}

void EqualizerModel::FollowNeighbours(int band) {
  if (!linked_) return;
  for (int neighbour : {band - 1, band + 1}) {
    if (neighbour < 0 || neighbour >= EqualizerGains::kBands) continue;
    knobs_[neighbour] = (knobs_[band] + knobs_[neighbour]) / 2;
  }
}

void EqualizerModel::KnobsFromGains() {
  for (int b = 0; b < EqualizerGains::kBands; ++b) knobs_[b] = KnobForGain(gains_.Gain(b));
}

void EqualizerModel::SaveAndMaybeApply(bool apply) {
  gains_.Save(store_);
  if (apply && apply_) apply_(gains_);
}

}  // namespace quillo::playback
