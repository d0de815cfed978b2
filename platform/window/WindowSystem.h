#pragma once
// The window system as a whole: makes windows, runs nested loops, knows the screen.
// Window thread only.
#include <functional>
#include <memory>
#include <string>

#include "platform/window/WindowPresenter.h"

namespace quillo::window {

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;

  // The window system of this process (set at start-up, or by a test); nullptr before.
  static WindowSystem* Instance();
  static void SetInstance(WindowSystem* system);

  // A window, not yet shown. `events` must outlive the presenter.
  virtual std::unique_ptr<WindowPresenter> CreateWindow(WindowEvents& events,
                                                        const WindowOptions& options) = 0;
  // Handles events until done() holds (checked after every event). The modal loop.
  virtual void RunNested(const std::function<bool()>& done) = 0;
  virtual gfx::Point CursorPosition() const = 0;
  // The screen area not taken by panels.
  virtual gfx::Rect WorkArea() const = 0;
  // The whole screen (the primary monitor), panels included. Window systems that know no more
  // answer the work area.
  virtual gfx::Rect ScreenBounds() const { return WorkArea(); }
  // Puts text on the clipboard.
  virtual void SetClipboardText(const std::string& utf8) = 0;
};

}  // namespace quillo::window
