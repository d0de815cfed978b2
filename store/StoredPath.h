#pragma once
// Stored paths: "file://" + an absolute path, or a path relative to a named folder.
#include <string>
#include <string_view>

namespace quillo::store {

inline constexpr std::string_view kFileUrlPrefix = "file://";

// The absolute path of a stored path, given the named folder's path (ending in '/'): the text
// after "file://", or the folder followed by the relative text. A relative text that could
// leave the folder (an absolute path, a ".." step, an empty text) gives empty text: names come
// from the service and from tags, and only an explicit "file://" path may point elsewhere.
std::string ResolveStoredPath(std::string_view folder_path, std::string_view stored);

// True when the relative name stays inside its folder: not empty, not starting with '/', and
// no step of it (between '/' or '\') is "..".
bool IsContainedRelativeName(std::string_view relative);

}  // namespace quillo::store
