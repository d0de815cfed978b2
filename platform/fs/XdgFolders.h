#pragma once
// The freedesktop.org base folders. Each answer ends with '/'.
#include <string>

namespace quillo::fs {

std::string HomeFolder();
std::string XdgDataHome();     // $XDG_DATA_HOME or ~/.local/share/
std::string XdgConfigHome();   // $XDG_CONFIG_HOME or ~/.config/
// $XDG_RUNTIME_DIR, or a private folder under /tmp named after the user when it is unset.
std::string XdgRuntimeDir();

}  // namespace quillo::fs
