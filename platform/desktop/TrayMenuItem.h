#pragma once
// One entry of the tray icon's menu, as plain data, so that the window that owns the menu's
// commands describes it without GTK and the tray backends draw it with their own toolkit.
#include <string>
#include <vector>

namespace quillo::desktop {

struct TrayMenuItem {
  enum class Kind { kCommand, kCheck, kRadio, kSeparator, kSubmenu };

  Kind kind = Kind::kCommand;
  int id = 0;            // the command reported when chosen (unused for separators, submenus)
  std::string label;     // UTF-8 caption shown as it is (no mnemonics)
  bool checked = false;  // kCheck and kRadio only
  bool enabled = true;
  std::vector<TrayMenuItem> children;  // kSubmenu only

  static TrayMenuItem Command(int id, std::string label, bool enabled = true) {
    return TrayMenuItem{Kind::kCommand, id, std::move(label), false, enabled, {}};
  }
  static TrayMenuItem Check(int id, std::string label, bool checked) {
    return TrayMenuItem{Kind::kCheck, id, std::move(label), checked, true, {}};
  }
  static TrayMenuItem Radio(int id, std::string label, bool checked) {
    return TrayMenuItem{Kind::kRadio, id, std::move(label), checked, true, {}};
  }
  static TrayMenuItem Separator() { return TrayMenuItem{Kind::kSeparator, 0, {}, false, true, {}}; }
  static TrayMenuItem Submenu(std::string label, std::vector<TrayMenuItem> children) {
    return TrayMenuItem{Kind::kSubmenu, 0, std::move(label), false, true, std::move(children)};
  }

  bool operator==(const TrayMenuItem&) const = default;
};

using TrayMenu = std::vector<TrayMenuItem>;

}  // namespace quillo::desktop
