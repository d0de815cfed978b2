#pragma once
// A window kept inside a LayerBorderDlg's border (for example a browser window).
#include "platform/gfx/Geometry.h"

namespace quillo::ui {

class HostedWindow {
 public:
  virtual ~HostedWindow() = default;
  // Place the window at this screen rectangle.
  virtual void PlaceAt(const gfx::Rect& screen_rect) = 0;
  virtual void SetShown(bool shown) = 0;
};

}  // namespace quillo::ui
