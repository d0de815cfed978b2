#pragma once
// The modal selection box the play queue shows when a song cannot be played: a message and a
// list of options, one of them preselected. The message-box helpers implement it. Window thread
// only; the call returns when the box is closed.
#include <optional>
#include <string>
#include <vector>

namespace quillo::playback {

class SongSelectBox {
 public:
  virtual ~SongSelectBox() = default;
  // The index of the option chosen with "确定", or no value when the box was closed otherwise.
  virtual std::optional<int> Select(const std::string& message,
                                    const std::vector<std::string>& options, int preselected) = 0;
};

}  // namespace quillo::playback
