#pragma once
// A media-player service that publishes nowhere: it keeps every published state and every
// Seeked position, in order.
#include <cstdint>
#include <vector>

#include "platform/desktop/MprisService.h"

namespace quillo::testing {

class FakeMprisService : public desktop::MprisService {
 public:
  void Publish(const desktop::MprisPlayerState& state) override { published.push_back(state); }
  void EmitSeeked(std::int64_t position_us) override { seeked.push_back(position_us); }

  const desktop::MprisPlayerState& last() const { return published.back(); }

  std::vector<desktop::MprisPlayerState> published;
  std::vector<std::int64_t> seeked;
};

}  // namespace quillo::testing
