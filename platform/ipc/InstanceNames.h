#pragma once
// Where the single-instance lock and the hand-over socket live: $XDG_RUNTIME_DIR, under names
// that carry a key of the data folder. One instance runs per data folder, so runs with their own
// data folders (tests, a second profile) never see each other.
#include <string>
#include <string_view>

namespace quillo::ipc {

// 16 hexadecimal digits derived from the data folder's absolute, normalised path.
std::string InstanceKey(std::string_view data_folder);
// $XDG_RUNTIME_DIR/Quillo.PreventSecondInstance-<key>.lock
std::string InstanceLockPath(std::string_view data_folder);
// $XDG_RUNTIME_DIR/Quillo-<key>.sock
std::string InstanceSocketPath(std::string_view data_folder);

}  // namespace quillo::ipc
