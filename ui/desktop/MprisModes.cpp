#include "ui/desktop/MprisModes.h"

namespace quillo::ui {

using playback::PlayMode;

std::string MprisModes::LoopStatusOf(PlayMode mode) {
  switch (mode) {
    case PlayMode::kSingleRepeat:
      return "Track";
    case PlayMode::kAllRepeat:
    case PlayMode::kRandom:
      return "Playlist";
    case PlayMode::kSingleNoRepeat:
    case PlayMode::kAllNoRepeat:
    case PlayMode::kUnknown:
      break;
  }
  // An unknown stored mode plays nothing at a song's end: nothing repeats.
  return "None";
}

bool MprisModes::ShuffleOf(PlayMode mode) {
  return mode == PlayMode::kRandom;
}

std::optional<PlayMode> MprisModes::ModeForLoopStatus(std::string_view loop_status,
                                                      PlayMode current) {
  if (loop_status == "None") {
    if (current == PlayMode::kSingleNoRepeat || current == PlayMode::kAllNoRepeat) return current;
    return PlayMode::kAllNoRepeat;
  }
  if (loop_status == "Track") return PlayMode::kSingleRepeat;
  if (loop_status == "Playlist") return PlayMode::kAllRepeat;
  return std::nullopt;
}

PlayMode MprisModes::ModeForShuffle(bool shuffle, PlayMode current) {
  if (shuffle) return PlayMode::kRandom;
  return current == PlayMode::kRandom ? PlayMode::kAllRepeat : current;
}

}  // namespace quillo::ui
