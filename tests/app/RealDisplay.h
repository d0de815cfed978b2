#pragma once
// The test's X display seen from outside the program, through xdotool: the program's shown
// windows, their geometry, real pointer and key input, and screenshots (to QUILLO_SCREENSHOT_DIR
// when it is set). Used by the tests that drive the real program as a person does.
#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace quillo::testing {

struct WindowGeometry {
  int x = 0, y = 0, width = 0, height = 0;
};

// Runs a shell command; its standard output without the last line break, or none on failure.
std::optional<std::string> RunCommand(const std::string& command);

// Polls `probe` until it answers true, at most `timeout`.
template <typename Probe>
bool Eventually(Probe probe, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (probe()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return probe();
}

class RealDisplay {
 public:
  // `environment` is put before every command ("DISPLAY='…' DBUS_SESSION_BUS_ADDRESS='…'").
  explicit RealDisplay(std::string environment = {}) : environment_(std::move(environment)) {}
  void SetEnvironment(std::string environment) { environment_ = std::move(environment); }

  std::string Shell(const std::string& command) const { return environment_ + " " + command; }
  // Runs "xdotool ARGUMENTS"; false when it failed.
  bool Xdo(const std::string& arguments) const;

  // The process's shown windows (xdotool ids).
  std::vector<std::string> ShownWindows(pid_t pid) const;
  // The largest shown window of the process titled exactly `title` (titles are compared here:
  // xdotool's own name search is a pattern that, outside a UTF-8 locale, matches any Chinese one).
  std::optional<std::string> FindWindow(pid_t pid, const std::string& title,
                                        std::chrono::milliseconds timeout) const;
  // A shown window of the process exactly `width` pixels wide.
  std::optional<std::string> FindWindowOfWidth(pid_t pid, int width,
                                               std::chrono::milliseconds timeout) const;
  WindowGeometry GeometryOf(const std::string& window) const;

  // Moves the pointer to a window point and clicks the left button `clicks` times.
  bool Click(const std::string& window, gfx::Point p, int clicks = 1) const;
  // The same with a modifier key ("ctrl", "shift") held.
  bool ClickWith(const std::string& modifier, const std::string& window, gfx::Point p) const;
  // Presses the left button at `from`, moves in small steps to `to` and releases there.
  bool Drag(const std::string& window, gfx::Point from, gfx::Point to) const;
  // Gives the window the keyboard (no window manager does it on the test's display).
  bool Focus(const std::string& window) const;

  // Writes the window's picture as NAME in QUILLO_SCREENSHOT_DIR (nothing when unset).
  void Screenshot(const std::string& window, const std::string& name) const;
  // Writes the window's picture to a path; false when it could not.
  bool Capture(const std::string& window, const std::string& path) const;

 private:
  std::string environment_;
};

}  // namespace quillo::testing
