#include "playback/PlayQueueMode.h"

#include "playback/MenuCommands.h"
#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"

namespace quillo::playback {

const std::array<PlayModeEntry, 5>& PlayQueueMode::Entries() {
  static const std::array<PlayModeEntry, 5> kEntries{{
      {PlayMode::kSingleNoRepeat, "single_no_repeat", "单曲播放",
       menu_commands::kModeSingleNoRepeat},
      {PlayMode::kSingleRepeat, "single_repeat", "单曲循环", menu_commands::kModeSingleRepeat},
      {PlayMode::kAllNoRepeat, "all_no_repeat", "顺序播放", menu_commands::kModeAllNoRepeat},
      {PlayMode::kAllRepeat, "all_repeat", "循环播放", menu_commands::kModeAllRepeat},
      {PlayMode::kRandom, "random", "随机播放", menu_commands::kModeRandom},
  }};
  return kEntries;
}

std::optional<PlayMode> PlayQueueMode::FromValue(std::string_view value) {
  for (const PlayModeEntry& entry : Entries()) {
    if (entry.value == value) return entry.mode;
  }
  return std::nullopt;
}

std::optional<PlayMode> PlayQueueMode::FromCommand(int command_id) {
  for (const PlayModeEntry& entry : Entries()) {
    if (entry.command_id == command_id) return entry.mode;
  }
  return std::nullopt;
}

std::string_view PlayQueueMode::Value(PlayMode mode) {
  for (const PlayModeEntry& entry : Entries()) {
    if (entry.mode == mode) return entry.value;
  }
  return {};
}

PlayMode PlayQueueMode::Current(const store::DocumentStore& store) {
  if (!store.HasConfig(store::keys::kPlayMode)) return kDefault;
  return FromValue(store.GetConfigText(store::keys::kPlayMode)).value_or(PlayMode::kUnknown);
}

PlayMode PlayQueueMode::ForMenu(store::DocumentStore& store) {
  PlayMode mode = Current(store);
  if (mode != PlayMode::kUnknown) return mode;
  store.RemoveConfig(store::keys::kPlayMode);
  return kDefault;
}

bool PlayQueueMode::Choose(store::DocumentStore& store, PlayMode mode) {
  std::string_view value = Value(mode);
  if (value.empty()) return false;
  if (store.HasConfig(store::keys::kPlayMode) &&
      store.GetConfigText(store::keys::kPlayMode) == value) {
    return false;
  }
  return store.SetConfigText(store::keys::kPlayMode, value);
}

}  // namespace quillo::playback
