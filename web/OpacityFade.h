#pragma once
// The opacities of a window's fade, one per timer tick: a fade-in raises the opacity from 0 to
// 255 in 100 steps, a fade-out lowers it from 255 to 0 in 101 steps; the last step is exactly
// 255 or 0. Starting a fade replaces the one running. Any thread (the owner's timer drives it).
#include <cstdint>
#include <optional>

namespace quillo::web {

class OpacityFade {
 public:
  static constexpr int kInSteps = 100;
  static constexpr int kOutSteps = 101;
  // The timer period between steps.
  static constexpr int kStepMs = 10;

  enum class Direction { kIn, kOut };

  // Starts a fade; answers the opacity to show before the first step (0 for a fade-in, 255 for
  // a fade-out).
  std::uint8_t Start(Direction direction);
  // The next opacity, or no value once the fade has ended (or none was started).
  std::optional<std::uint8_t> Step();
  bool running() const { return step_ < total_; }

 private:
  Direction direction_ = Direction::kIn;
  int step_ = 0;
  int total_ = 0;
};

}  // namespace quillo::web
