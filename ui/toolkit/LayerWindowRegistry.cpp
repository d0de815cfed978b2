#include "ui/toolkit/LayerWindowRegistry.h"

#include <algorithm>

#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {
namespace {
std::vector<LayerWnd*>& Windows() {
  static std::vector<LayerWnd*> windows;
  return windows;
}
LayerWnd* g_main_window = nullptr;
}  // namespace

void LayerWindowRegistry::Add(LayerWnd* window) {
  auto& all = Windows();
  if (std::find(all.begin(), all.end(), window) == all.end()) all.push_back(window);
}

void LayerWindowRegistry::Remove(LayerWnd* window) {
  auto& all = Windows();
  all.erase(std::remove(all.begin(), all.end(), window), all.end());
  if (g_main_window == window) g_main_window = nullptr;
}

std::vector<LayerWnd*> LayerWindowRegistry::All() { return Windows(); }

void LayerWindowRegistry::RedrawAll() {
  // A copy: a redraw may open or close windows.
  for (LayerWnd* window : All()) {
    auto& all = Windows();
    if (std::find(all.begin(), all.end(), window) == all.end()) continue;
    window->DrawAll();
    window->UpdateLayer();
  }
}

LayerWnd* LayerWindowRegistry::MainWindow() { return g_main_window; }
void LayerWindowRegistry::SetMainWindow(LayerWnd* window) { g_main_window = window; }

}  // namespace quillo::ui
