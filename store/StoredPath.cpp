#include "store/StoredPath.h"

#include "platform/text/TextUtil.h"

namespace quillo::store {

bool IsContainedRelativeName(std::string_view relative) {
  if (relative.empty() || relative.front() == '/' || relative.front() == '\\') return false;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = relative.size();
    if (relative.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

std::string ResolveStoredPath(std::string_view folder_path, std::string_view stored) {
  if (text::StartsWith(stored, kFileUrlPrefix)) return std::string(stored.substr(kFileUrlPrefix.size()));
  if (!IsContainedRelativeName(stored)) return {};
  return std::string(folder_path) + std::string(stored);
}

}  // namespace quillo::store
