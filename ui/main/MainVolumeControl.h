#pragma once
// The volume the mini layout's popup slider shows and sets: the main window's, which is the
// play surface's. Owned by the window. Window thread only.
#include "ui/dialogs/VolumeAdjustPopup.h"

namespace quillo::ui {

class MainActions;

class MainVolumeControl : public VolumeControl {
 public:
  explicit MainVolumeControl(MainActions& actions) : actions_(actions) {}

  int Volume() const override;
  void SetVolume(int volume) override;

 private:
  MainActions& actions_;
};

}  // namespace quillo::ui
