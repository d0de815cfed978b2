#pragma once
// What a native window reports to its owner. The presenter converts the window system's events
// once into these types; every call arrives on the window thread, in the order the events came.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/gfx/Geometry.h"

namespace quillo::window {

enum class MouseButton { kLeft = 1, kMiddle = 2, kRight = 3, kOther = 9 };

struct MouseEvent {
  gfx::Point pos;     // window pixels
  gfx::Point screen;  // screen pixels
  MouseButton button = MouseButton::kLeft;
  bool left_held = false;
  // Modifier keys held when the event happened.
  bool control = false;
  bool shift = false;
  std::uint32_t time_ms = 0;  // the window system's event time, for drags it starts
};

struct KeyEvent {
  unsigned keyval = 0;  // X keysym
  bool control = false;
  bool shift = false;
  bool alt = false;
};

struct TooltipAnswer {
  std::string text;
  gfx::Rect area;  // window pixels; the tip stays while the pointer is inside
};

class WindowEvents {
 public:
  virtual ~WindowEvents() = default;

  virtual void OnNativeMouseMove(const MouseEvent& event) = 0;
  // The pointer left the window (not into one of its hosted children).
  virtual void OnNativeMouseLeave() = 0;
  virtual void OnNativeButtonDown(const MouseEvent& event) = 0;
  virtual void OnNativeDoubleClick(const MouseEvent& event) = 0;
  virtual void OnNativeButtonUp(const MouseEvent& event) = 0;
  // Positive delta_steps scroll down.
  virtual void OnNativeWheel(const MouseEvent& event, int delta_steps) = 0;
  // Answers whether the key was used.
  virtual bool OnNativeKeyDown(const KeyEvent& event) = 0;
  // The window lost the pointer grab it held since a button went down.
  virtual void OnNativeCaptureLost() = 0;
  // The window's size or screen position changed (also at creation).
  virtual void OnNativeSized(gfx::Size size) = 0;
  virtual void OnNativeMoved(gfx::Point screen_origin) = 0;
  // The window became or stopped being the active (focused) window.
  virtual void OnNativeActivated(bool active) = 0;
  // The user or the window system asks the window to close.
  virtual void OnNativeCloseRequest() = 0;
  // The window is on screen (mapped) or was hidden.
  virtual void OnNativeShown(bool shown) = 0;
  // The tooltip for a point, or none.
  virtual std::optional<TooltipAnswer> OnNativeTooltip(gfx::Point pos) = 0;
};

}  // namespace quillo::window
