#include "store/DataFolder.h"

#include <cstdlib>

#include "platform/fs/FileSystem.h"
#include "platform/fs/XdgFolders.h"

namespace quillo::store {

std::string ResolveDataFolder(std::string_view option_value) {
  if (!option_value.empty()) return fs::WithTrailingSlash(option_value);
  if (const char* env = std::getenv("QUILLO_DATA_DIR"); env != nullptr && *env != '\0') {
    return fs::WithTrailingSlash(env);
  }
  return fs::XdgDataHome() + "sorvel/";
}

}  // namespace quillo::store
