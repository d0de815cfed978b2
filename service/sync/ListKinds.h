#pragma once
// The kinds of list ids the playlist commands tell apart. Pure; any thread.
#include <string_view>

#include "store/SafeNames.h"

namespace quillo::service {

inline constexpr std::string_view kDefaultListId = "";
inline constexpr std::string_view kLocalListId = "local";
// The name of a new list when the user or the songs give none.
inline constexpr const char* kNewPlaylistName = "新建播放列表";

// A list of a connected phone: "d_...".
inline bool IsDeviceListId(std::string_view list_id) {
  return list_id.substr(0, 2) == "d_";
}
// A temporary list (charts, random lists, the filter, recently played): "t_...".
inline bool IsTemporaryListId(std::string_view list_id) {
  return list_id.substr(0, 2) == "t_";
}
// A user playlist, mirrored to the service: exactly 32 hexadecimal digits.
inline bool IsUserPlaylistId(std::string_view list_id) {
  return store::IsHexId32(list_id);
}

}  // namespace quillo::service
