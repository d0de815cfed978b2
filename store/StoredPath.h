#pragma once
// Stored paths: "file://" + an absolute path, or a path relative to a named folder.
#include <string>
#include <string_view>

namespace quillo::store {

inline constexpr std::string_view kFileUrlPrefix = "file://";

// The absolute path of a stored path, given the named folder's path (ending in '/'): the text
// after "file://", or the folder followed by the relative text.
std::string ResolveStoredPath(std::string_view folder_path, std::string_view stored);

}  // namespace quillo::store
