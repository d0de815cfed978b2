#pragma once
// The taskbar caption of the top parent (timer 2, every 400 ms): while a song is loaded and the
// marquee runs, a window over the title followed by two blanks, doubled, starting at a counter
// that advances one character per tick. Stopped, it is the title, or "Zelbo音乐" without one.
// Characters are code points. Window thread.
#include <string>

namespace quillo::ui {

class CaptionMarquee {
 public:
  static constexpr const char* kProductCaption = "Zelbo音乐";

  // A new song (or none): the counter returns to 0.
  void SetTitle(std::string title);
  // Resuming and every new song start it at 0; the stopped, paused, failed and ended states stop.
  void Start();
  void Stop();
  bool running() const { return running_; }
  // Advances the counter; answers the caption to show.
  std::string Tick();
  std::string Caption() const;

 private:
  std::u32string title_;
  int counter_ = 0;
  bool running_ = false;
};

}  // namespace quillo::ui
