#pragma once
// What a program with skinned windows sets up once on its main thread: GTK on X11, our font
// aliases, the window-thread loop and the GTK window system. Windows still open when it goes
// are destroyed first.
#include <memory>

namespace quillo::loop {
class MainLoop;
}
namespace quillo::window {
class GtkWindowSystem;
}

namespace quillo::ui {

class UiRuntime {
 public:
  // Answers null when no display can be opened.
  static std::unique_ptr<UiRuntime> Start(int* argc, char*** argv);
  ~UiRuntime();

  loop::MainLoop& loop() { return *loop_; }
  window::GtkWindowSystem& windows() { return *windows_; }

 private:
  UiRuntime();
  std::unique_ptr<loop::MainLoop> loop_;
  std::unique_ptr<window::GtkWindowSystem> windows_;
};

}  // namespace quillo::ui
