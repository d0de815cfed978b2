#pragma once
// Internal to platform/window: GtkMenu popups built from MenuItem lists.
#include <gtk/gtk.h>

#include <functional>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/window/MenuItem.h"

namespace quillo::window {

class GtkMenuBuilder {
 public:
  // Pops the menu up at a point of the window; the menu destroys itself when it closes.
  static void Popup(GtkWidget* window, const std::vector<MenuItem>& items, gfx::Point pos,
                    std::function<void(int id)> chosen);
};

}  // namespace quillo::window
