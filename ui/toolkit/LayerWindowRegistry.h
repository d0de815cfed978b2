#pragma once
// Every live (created) skinned window, so that a theme change can redraw them all and tests can
// find the window a helper opened. Window thread only.
#include <functional>
#include <vector>

namespace quillo::ui {

class LayerWnd;

class LayerWindowRegistry {
 public:
  static void Add(LayerWnd* window);
  static void Remove(LayerWnd* window);
  // The live windows in creation order.
  static std::vector<LayerWnd*> All();
  // DrawAll and UpdateLayer on every live window.
  static void RedrawAll();
  // The program's main window, used as owner when a helper is given none; may be null.
  static LayerWnd* MainWindow();
  static void SetMainWindow(LayerWnd* window);
};

}  // namespace quillo::ui
