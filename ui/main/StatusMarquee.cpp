#include "ui/main/StatusMarquee.h"

namespace quillo::ui {

void StatusMarquee::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  text_width_px_ = -1;
  counter_ = 0;
}

int StatusMarquee::Overflow(int window_width_px) const {
  if (text_width_px_ < 0) return 0;
  return text_width_px_ - (window_width_px - kReservedPixels);
}

bool StatusMarquee::Tick(int window_width_px) {
  const int before = Offset(window_width_px);
  const int overflow = Overflow(window_width_px);
  if (overflow <= 0) {
    counter_ = 0;
  } else if (++counter_ >= 2 * overflow + 2 * kRestTicks) {
    counter_ = 0;
  }
  return Offset(window_width_px) != before;
}

int StatusMarquee::Offset(int window_width_px) const {
  const int overflow = Overflow(window_width_px);
  if (overflow <= 0) return 0;
  if (counter_ < overflow) return counter_;
  if (counter_ < overflow + kRestTicks) return overflow;
  if (counter_ < 2 * overflow + kRestTicks) return overflow - (counter_ - overflow - kRestTicks);
  return 0;
}

}  // namespace quillo::ui
