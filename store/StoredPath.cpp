#include "store/StoredPath.h"

#include "platform/text/TextUtil.h"

namespace quillo::store {

std::string ResolveStoredPath(std::string_view folder_path, std::string_view stored) {
  if (text::StartsWith(stored, kFileUrlPrefix)) return std::string(stored.substr(kFileUrlPrefix.size()));
  return std::string(folder_path) + std::string(stored);
}

}  // namespace quillo::store
