#pragma once
// The equaliser dialog's rules without its window: band knobs and their gains, the linked
// neighbours, presets, on/off and reset. The window (BalanceDlg) forwards its controls here and
// redraws from the knob positions, the selected preset and the enabled flag.
//
// Knob positions are pixels from the top of a band's track, 0 (+12 dB) .. travel (-12 dB); the
// dialog's tracks have 60 pixels of travel for 24 dB, so 0 dB sits at 30.
//
// Every change saves "sorvel.eq.value"/"sorvel.eq.type"; every change the user finishes is
// handed to `apply` (the player's ApplyEqualizer on its current graph). Window thread only.
#include <array>
#include <functional>

#include "playback/EqualizerGains.h"
#include "playback/EqualizerPresets.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::playback {

class EqualizerModel {
 public:
  using Apply = std::function<void(const EqualizerGains&)>;
  static constexpr int kDialogTravel = 60;

  // All four must outlive the model. The gains and presets are the process's own (the dialog may
  // be made several times per run); the knobs start at the gains' positions, enabled, unlinked,
  // with the preset index read from the configuration.
  EqualizerModel(EqualizerGains& gains, EqualizerPresets& presets, store::DocumentStore& store,
                 Apply apply, int travel_px = kDialogTravel);

  // Geometry: gain for a knob position and back (rounded to the nearest pixel).
  double GainForKnob(int knob_px) const;
  int KnobForGain(double db) const;
  // The balance slider: knob position over the usable width -> -100..100, and the initial knob
  // position for a balance.
  static int BalanceForKnob(int position_px, int usable_width_px);
  static int BalanceKnob(int balance);

  // The user drags band `band`'s knob to `knob_px`: linked neighbours follow half-way, every
  // gain is read back from its knob, the custom preset row takes them and becomes selected;
  // saved. Nothing happens while disabled.
  void MoveBand(int band, int knob_px);
  // The user lets the knob go: linked neighbours follow once more, then the gains are applied.
  void ReleaseBand(int band);
  // A preset from the popup: gains and knobs take its row; saved and applied.
  void ChoosePreset(int index);
  // On/off: in both directions every gain becomes 0 and is applied; saved.
  void ToggleEnabled();
  // Custom preset, every gain 0 and knob centred; saved and applied. The caller centres the
  // balance knob and sets the player's balance to 0.
  void Reset();
  void SetLinked(bool linked) { linked_ = linked; }

  bool enabled() const { return enabled_; }
  bool linked() const { return linked_; }
  int preset_index() const { return gains_.preset_index(); }
  const std::array<int, EqualizerGains::kBands>& knobs() const { return knobs_; }

 private:
  void FollowNeighbours(int band);
  void KnobsFromGains();
  void SaveAndMaybeApply(bool apply);

  EqualizerGains& gains_;
  EqualizerPresets& presets_;
  store::DocumentStore& store_;
  Apply apply_;
  int travel_px_;
  std::array<int, EqualizerGains::kBands> knobs_{};
  bool enabled_ = true;
  bool linked_ = false;
};

}  // namespace quillo::playback
