#pragma once
// The scrolling status line (timer 105, every 50 ms). A text wider than the window less 83
// pixels scrolls left over its overflow, rests 20 ticks, scrolls back, rests 20 ticks and starts
// again; a text that fits stands still. Pure state: the window measures the text and draws it
// shifted left by Offset. Window thread.
#include <string>

namespace quillo::ui {

class StatusMarquee {
 public:
  static constexpr int kReservedPixels = 83;
  static constexpr int kRestTicks = 20;
  static constexpr const char* kInitialText = "Zelbo音乐，Zelbozelbo";

  // A new text: the counter returns to 0 and the width is unknown until measured.
  void SetText(std::string text);
  const std::string& text() const { return text_; }
  void SetTextWidth(int width_px) { text_width_px_ = width_px; }
  // -1 until the window has measured the text.
  int text_width() const { return text_width_px_; }

  // One timer tick for a window of this width. Answers whether the offset changed.
  bool Tick(int window_width_px);
  // How far the text is shifted left now.
  int Offset(int window_width_px) const;
  int counter() const { return counter_; }

 private:
  int Overflow(int window_width_px) const;

  std::string text_ = kInitialText;
  int text_width_px_ = -1;
  int counter_ = 0;
};

}  // namespace quillo::ui
