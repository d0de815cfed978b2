#pragma once
// Read access to the resources compiled into the program (GResource bundles registered at
// start-up): skin PNGs, the fontconfig alias file. Any thread.
#include <optional>
#include <string>

namespace quillo::gfx {

class ResourceBundle {
 public:
  // The bytes of the resource at the path ("/quillo/skins/173.png"); no value when absent.
  static std::optional<std::string> Lookup(const std::string& path);
};

}  // namespace quillo::gfx
