#pragma once
// How the five play modes appear as the media-player service's LoopStatus and Shuffle, and which
// mode a client's change of either chooses. The modes exclude each other, so setting one of the
// two properties may change the other:
//   all_repeat ↔ "Playlist", single_repeat ↔ "Track", all_no_repeat and single_no_repeat ↔
//   "None"; random ↔ Shuffle true (LoopStatus "Playlist": random picks never run out).
#include <optional>
#include <string>
#include <string_view>

#include "playback/PlayQueueMode.h"

namespace quillo::ui {

class MprisModes {
 public:
  static std::string LoopStatusOf(playback::PlayMode mode);
  static bool ShuffleOf(playback::PlayMode mode);

  // The mode a client's LoopStatus chooses while `current` is in force: "None" keeps a
  // no-repeat mode as it is (single_no_repeat stays), else all_no_repeat; "Track"
  // single_repeat; "Playlist" all_repeat. Answers none for an unknown text.
  static std::optional<playback::PlayMode> ModeForLoopStatus(std::string_view loop_status,
                                                             playback::PlayMode current);
  // Shuffle true chooses random; false leaves random for all_repeat and keeps other modes.
  static playback::PlayMode ModeForShuffle(bool shuffle, playback::PlayMode current);
};

}  // namespace quillo::ui
