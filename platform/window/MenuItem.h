#pragma once
// One entry of a popup menu: caption, command id, check mark, or a separator or sub-menu.
#include <string>
#include <utility>
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
  static MenuItem Command(std::string caption, int id, bool enabled = true, bool checked = false) {
    MenuItem item;
    item.caption = std::move(caption);
    item.id = id;
    item.enabled = enabled;
    item.checked = checked;
    return item;
  }
  static MenuItem Submenu(std::string caption, std::vector<MenuItem> items) {
    MenuItem item;
    item.caption = std::move(caption);
    item.submenu = std::move(items);
    return item;
  }
};

}  // namespace quillo::window
