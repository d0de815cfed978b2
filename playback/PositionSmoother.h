#pragma once
// Keeps the position the lyric views read moving smoothly between the graph's own position
// updates, which can lag by a good part of a second: while the graph's position has not moved
// past the last reported one, the report runs on with the clock, unless that would put it 3
// seconds or more ahead of the graph (a seek backwards), when the graph's value wins. The
// reported position thus never runs backwards within that window. Window thread.
#include <cstdint>

namespace quillo::playback {

class PositionSmoother {
 public:
  static constexpr std::int64_t kMaxLeadMs = 3000;

  // The position to report for the graph's position `graph_ms` read at `now_ms`; remembers it.
  std::int64_t Report(std::int64_t graph_ms, std::int64_t now_ms);
  // Remembers the graph's position as is (while paused the clock must not run it on).
  std::int64_t Remember(std::int64_t graph_ms, std::int64_t now_ms);
  void Reset();

 private:
  std::int64_t last_position_ms_ = 0;
  std::int64_t last_tick_ms_ = 0;
};

}  // namespace quillo::playback
