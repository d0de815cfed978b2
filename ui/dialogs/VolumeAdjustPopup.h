#pragma once
// The volume popup of the mini layout (skin 178, 80 × 16): a slider whose thumb stands for the
// player's volume 0 … 100. Releasing the thumb or clicking the track sets the volume. At most one
// exists; it closes when it loses activation, calling its owner's OnPopupClosed first (only
// while the owner lives). The owner window holds it (PopupOwner).
#include "ui/toolkit/LayerPopup.h"
#include "ui/toolkit/WindowRef.h"

namespace quillo::ui {

// The player's volume, as the popup needs it.
class VolumeControl {
 public:
  virtual ~VolumeControl() = default;
  virtual int Volume() const = 0;
  virtual void SetVolume(int volume) = 0;
};

class VolumeAdjustPopup : public LayerPopup {
 public:
  static constexpr int kWidth = 80;
  static constexpr int kHeight = 16;
  static constexpr int kThumbId = 1;
  static constexpr int kOwnerVolumeButtonId = 33;
  static constexpr int kPopupClosedCode = 178;
  static constexpr gfx::Rect kTrack{6, 3, 76, 13};

  VolumeAdjustPopup(LayerWnd* owner, VolumeControl& volume);

  // Opens the popup under the owner's control 33 (or brings the open one up).
  static VolumeAdjustPopup* Show(LayerWnd* owner, VolumeControl& volume);
  static VolumeAdjustPopup* Current();

  // The thumb's left edge for a volume, and the volume a thumb position stands for.
  static int ThumbLeftFor(int volume);
  static int VolumeFor(int thumb_left);

  void InitLayer() override;
  void DrawBackground() override;
  void DrawSliderTrack(int id) override;
  void OnSliderMove(LayerControl& control) override;
  void OnSliderRelease(LayerControl& control) override;
  void OnClose() override;
  void OnDestroy() override;

 private:
  void DrawFill(int thumb_left);
  WindowRef owner_;
  VolumeControl& volume_;
};

inline VolumeAdjustPopup* ShowVolumePopup(LayerWnd* owner, VolumeControl& volume) {
  return VolumeAdjustPopup::Show(owner, volume);
}

}  // namespace quillo::ui
