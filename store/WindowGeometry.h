#pragma once
// What the store's RestoreWindowRect and SaveWindowRect need of the window system.
namespace quillo::store {

class WindowGeometry {
 public:
  virtual ~WindowGeometry() = default;
  virtual int DesktopWidth() const = 0;
  virtual int DesktopHeight() const = 0;
};

}  // namespace quillo::store
