#include "RealDisplay.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

namespace quillo::testing {

std::optional<std::string> RunCommand(const std::string& command) {
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  const int status = ::pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

bool RealDisplay::Xdo(const std::string& arguments) const {
  return RunCommand(Shell("xdotool " + arguments)).has_value();
}

std::vector<std::string> RealDisplay::ShownWindows(pid_t pid) const {
  std::vector<std::string> found;
  auto ids =
      RunCommand(Shell("xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null"));
  if (!ids) return found;
  size_t from = 0;
  while (from < ids->size()) {
    size_t end = ids->find('\n', from);
    if (end == std::string::npos) end = ids->size();
    found.push_back(ids->substr(from, end - from));
    from = end + 1;
  }
  return found;
}

std::optional<std::string> RealDisplay::FindWindow(pid_t pid, const std::string& title,
                                                   std::chrono::milliseconds timeout) const {
  std::optional<std::string> found;
  Eventually(
      [&] {
        int largest = 0;
        for (const std::string& id : ShownWindows(pid)) {
          if (RunCommand(Shell("xdotool getwindowname " + id)) != title) continue;
          const WindowGeometry g = GeometryOf(id);
          if (g.width * g.height > largest) {
            largest = g.width * g.height;
            found = id;
          }
        }
        return found.has_value();
      },
      timeout);
  return found;
}

std::optional<std::string> RealDisplay::FindWindowOfWidth(pid_t pid, int width,
                                                          std::chrono::milliseconds timeout) const {
  std::optional<std::string> found;
  Eventually(
      [&] {
        for (const std::string& id : ShownWindows(pid)) {
          if (GeometryOf(id).width == width) {
            found = id;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

WindowGeometry RealDisplay::GeometryOf(const std::string& window) const {
  WindowGeometry g;
  auto text = RunCommand(Shell("xdotool getwindowgeometry --shell " + window));
  if (!text) return g;
  std::sscanf(text->c_str(), "WINDOW=%*d\nX=%d\nY=%d\nWIDTH=%d\nHEIGHT=%d", &g.x, &g.y, &g.width,
              &g.height);
  return g;
}

bool RealDisplay::Click(const std::string& window, gfx::Point p, int clicks) const {
  return Xdo("mousemove --window " + window + " " + std::to_string(p.x) + " " +
             std::to_string(p.y) + " click --repeat " + std::to_string(clicks) + " --delay 80 1");
}

bool RealDisplay::ClickWith(const std::string& modifier, const std::string& window,
                            gfx::Point p) const {
  return Xdo("mousemove --window " + window + " " + std::to_string(p.x) + " " +
             std::to_string(p.y) + " keydown " + modifier + " click 1 keyup " + modifier);
}

bool RealDisplay::Drag(const std::string& window, gfx::Point from, gfx::Point to) const {
  std::string moves = "mousemove --window " + window + " " + std::to_string(from.x) + " " +
                      std::to_string(from.y) + " mousedown 1";
  constexpr int kSteps = 8;
  for (int i = 1; i <= kSteps; ++i) {
    const int x = from.x + (to.x - from.x) * i / kSteps;
    const int y = from.y + (to.y - from.y) * i / kSteps;
    moves += " sleep 0.05 mousemove --window " + window + " " + std::to_string(x) + " " +
             std::to_string(y);
  }
  return Xdo(moves + " sleep 0.2 mouseup 1");
}

bool RealDisplay::Focus(const std::string& window) const {
  return Xdo("windowfocus --sync " + window);
}

void RealDisplay::Screenshot(const std::string& window, const std::string& name) const {
  const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR");
  if (dir == nullptr) return;
  Capture(window, std::string(dir) + "/" + name);
}

bool RealDisplay::Capture(const std::string& window, const std::string& path) const {
  return RunCommand(Shell("gst-launch-1.0 -q ximagesrc use-damage=false num-buffers=1 xid=" +
                          window + " ! videoconvert ! pngenc ! filesink location='" + path +
                          "' >/dev/null 2>&1"))
      .has_value();
}

}  // namespace quillo::testing
