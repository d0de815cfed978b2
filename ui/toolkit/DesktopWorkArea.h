#pragma once
// The desktop's work area, where windows place themselves and into which the store fits the
// window rectangles it saved. Window thread.
#include "platform/gfx/Geometry.h"
#include "platform/window/WindowSystem.h"
#include "store/WindowGeometry.h"

namespace quillo::ui {

// The window system's work area; 1280 × 800 where there is none or it is empty.
inline gfx::Rect DesktopWorkArea() {
  window::WindowSystem* system = window::WindowSystem::Instance();
  const gfx::Rect area = system ? system->WorkArea() : gfx::Rect{};
  return area.IsEmpty() ? gfx::Rect{0, 0, 1280, 800} : area;
}

// A work area as the store's saved rectangles see the desktop.
class WorkAreaGeometry : public store::WindowGeometry {
 public:
  explicit WorkAreaGeometry(gfx::Rect area) : area_(area) {}
  int DesktopWidth() const override { return area_.right; }
  int DesktopHeight() const override { return area_.bottom; }

 private:
  gfx::Rect area_;
};

}  // namespace quillo::ui
