#pragma once
// One entry of a popup menu: caption, command id, check mark, or a separator or sub-menu.
#include <string>
#include <vector>

namespace quillo::window {

struct MenuItem {
  std::string caption;
  int id = 0;
  bool checked = false;
  bool enabled = true;
  bool separator = false;
  std::vector<MenuItem> submenu;

  static MenuItem Separator() {
    MenuItem item;
    item.separator = true;
    return item;
  }
};

}  // namespace quillo::window
