#pragma once
// The desktop lyric bar's text pixels: the line drawn once in the unsung and once in the sung
// colours (two images of the text area's size), and the composite, an image of the window's size
// that holds only the letters as shown: sung up to the progress boundary, unsung after it.
// Moving the boundary redraws only the strip between the old and the new one.
//
// The text area is (W − 60) × 70 pixels at (30, 26) of a W-wide window; the composite is clipped
// to it. Display-free (Cairo images only). Window thread.
#include <optional>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"

namespace quillo::ui {

class LyricBarLine;
struct LyricBarLook;

class LyricBarCanvas {
 public:
  static constexpr int kTextLeft = 30;
  static constexpr int kTextTop = 26;
  static constexpr int kTextHeight = 70;
  // Gradients repeat every this many pixels, counted from the top of the text area.
  static constexpr int kGradientPeriod = 100;

  // Makes the images for a window of this size (text area included); everything transparent.
  void Resize(gfx::Size window);

  // Draws the line into both text images, places it (left or centred; a line wider than the area
  // starts at its left edge) and composes at the current progress.
  void Render(const LyricBarLine& line, const LyricBarLook& look);
  // A new line starts unsung (before its Render).
  void ResetProgress() { progress_ = 0; }
  // Moves the sung boundary to p pixels from the text's left edge. Answers the window rectangle
  // that changed, or none when p is the current progress.
  std::optional<gfx::Rect> SetProgress(int p);

  // The text area in window coordinates.
  gfx::Rect text_area() const { return text_area_; }
  int progress() const { return progress_; }
  int origin_x() const { return origin_x_; }
  int total() const { return total_; }
  const gfx::Surface& composite() const { return composite_; }
  const gfx::Surface& unsung() const { return unsung_; }
  const gfx::Surface& sung() const { return sung_; }
  // How many times Render drew the images (tests check that nothing is redrawn needlessly).
  int render_count() const { return render_count_; }

 private:
  void Compose();
  // Copies image columns [from, to) of a text image into the composite at origin_x_.
  void CopyColumns(const gfx::Surface& image, int from, int to);

  gfx::Surface unsung_;
  gfx::Surface sung_;
  gfx::Surface composite_;
  gfx::Rect text_area_;
  int origin_x_ = kTextLeft;
  int total_ = 0;
  int progress_ = 0;
  int render_count_ = 0;
};

}  // namespace quillo::ui
