#pragma once
// Where the data folder is: the --data-dir option, else $QUILLO_DATA_DIR, else
// $XDG_DATA_HOME/sorvel/ (~/.local/share/sorvel/). The answer ends with '/'.
#include <string>
#include <string_view>

namespace quillo::store {

std::string ResolveDataFolder(std::string_view option_value = {});

// The cookie jar the service calls and the embedded browser share, in the data folder.
inline constexpr std::string_view kCookieJarFileName = "cookies.txt";

}  // namespace quillo::store
