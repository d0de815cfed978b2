#pragma once
// The window system on GTK 3 (X11 backend). Construct it on the main thread after gtk_init and
// before the first window; it installs itself as WindowSystem::Instance() until destroyed.
#include "platform/window/WindowSystem.h"

namespace quillo::window {

class GtkWindowSystem : public WindowSystem {
 public:
  GtkWindowSystem();
  ~GtkWindowSystem() override;

  // Calls gtk_init_check with the X11 backend preferred; false when no display can be opened.
  static bool InitGtk(int* argc, char*** argv);

  std::unique_ptr<WindowPresenter> CreateWindow(WindowEvents& events,
                                                const WindowOptions& options) override;
  void RunNested(const std::function<bool()>& done) override;
  gfx::Point CursorPosition() const override;
  gfx::Rect WorkArea() const override;
  gfx::Rect ScreenBounds() const override;
  void SetClipboardText(const std::string& utf8) override;
};

}  // namespace quillo::window
