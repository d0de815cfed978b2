#pragma once
// Our fontconfig aliases map the faces the windows ask for ("宋体", "黑体", "Arial", "Verdana")
// to fonts installed here. Install them once at start-up on the window thread, before the first
// text is measured or a GTK widget is made.
#include <string>
#include <string_view>

namespace quillo::gfx {

class FontAliases {
 public:
  // Adds the fontconfig configuration text to the process's current configuration and tells
  // Pango. False when fontconfig rejects it (the system's own fonts stay in use).
  static bool Install(std::string_view fontconfig_xml);
  // The family fontconfig picks for a face name (for tests and diagnostics).
  static std::string ResolvedFamily(std::string_view face);
};

}  // namespace quillo::gfx
