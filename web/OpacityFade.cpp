#include "web/OpacityFade.h"

namespace quillo::web {

std::uint8_t OpacityFade::Start(Direction direction) {
  direction_ = direction;
  step_ = 0;
  total_ = direction == Direction::kIn ? kInSteps : kOutSteps;
  return direction == Direction::kIn ? 0 : 255;
}

std::optional<std::uint8_t> OpacityFade::Step() {
  if (step_ >= total_) return std::nullopt;
  ++step_;
  const int moved = 255 * step_ / total_;  // reaches 255 exactly at the last step
  return std::uint8_t(direction_ == Direction::kIn ? moved : 255 - moved);
}

}  // namespace quillo::web
