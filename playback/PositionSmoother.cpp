#include "playback/PositionSmoother.h"

namespace quillo::playback {

std::int64_t PositionSmoother::Report(std::int64_t graph_ms, std::int64_t now_ms) {
  const std::int64_t extrapolated = last_position_ms_ + (now_ms - last_tick_ms_);
  std::int64_t reported = graph_ms;
  if (last_position_ms_ > 0 && graph_ms <= last_position_ms_ &&
      extrapolated - graph_ms < kMaxLeadMs) {
    reported = extrapolated;
  }
  return Remember(reported, now_ms);
}

std::int64_t PositionSmoother::Remember(std::int64_t graph_ms, std::int64_t now_ms) {
  last_position_ms_ = graph_ms;
  last_tick_ms_ = now_ms;
  return graph_ms;
}

void PositionSmoother::Reset() {
  last_position_ms_ = 0;
  last_tick_ms_ = 0;
}

}  // namespace quillo::playback
