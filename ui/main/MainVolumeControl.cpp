#include "ui/main/MainVolumeControl.h"

#include "ui/main/MainActions.h"

namespace quillo::ui {

int MainVolumeControl::Volume() const {
  return actions_.Volume();
}
void MainVolumeControl::SetVolume(int volume) {
  actions_.SetVolume(volume);
}

}  // namespace quillo::ui
