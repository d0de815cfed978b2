#pragma once
// The layout of the one line the desktop lyric bar shows: one segment per sung unit (word) of the
// line, each measured in the font of its kind (wide: a character at U+0100 or above, drawn in the
// Chinese font; narrow: the other font), laid out side by side from x = 0, and the size at which
// the whole line fits the bar's text area. Also turns a word index and percentage into sung
// pixels. No drawing and no display: the measure comes through a TextMeter.
//
// Fitting: the line is measured at the configured size and, while it is wider than the area,
// again 2 points smaller, down to the smallest size above 13 points. A line that does not fit
// even there (or a configured size of 13 or less) is laid out in full at that last size and is
// wider than the area; the bar then shows its beginning. Window thread.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Font.h"
#include "platform/gfx/GradientText.h"

namespace quillo::ui {

class LyricBarTextMeter {
 public:
  virtual ~LyricBarTextMeter() = default;
  // The typographic extent of one unwrapped line of text in the font.
  virtual gfx::TextExtent Measure(std::string_view utf8, const gfx::Font& font) = 0;
};

// Measures with Pango, as the bar draws.
class PangoTextMeter : public LyricBarTextMeter {
 public:
  gfx::TextExtent Measure(std::string_view utf8, const gfx::Font& font) override {
    return gfx::GradientText::Measure(utf8, font);
  }
};

struct LyricBarSegment {
  int x = 0;
  int width = 0;
  bool wide = false;
  std::string text;
};

class LyricBarLine {
 public:
  // Sizes above this are tried; the fitting stops at the first size that is not.
  static constexpr int kFloorSize = 13;

  // Whether the text holds a character at U+0100 or above.
  static bool IsWide(std::string_view utf8);

  // New segments for these unit texts, in order, not yet measured (x and width 0).
  void SetWords(const std::vector<std::string_view>& words);

  // Lays the segments out for a text area `area_width` wide, starting at `configured_size`
  // points, with these font faces. Answers whether the line fits.
  bool Measure(LyricBarTextMeter& meter, int configured_size, int area_width,
               const std::string& wide_face, const std::string& narrow_face);

  // The sung pixels for a word index and percentage (0..100) of that word: percentage × width /
  // 100 + x. No value for an index outside the segments.
  std::optional<int> ProgressFor(std::size_t word, int percent) const;

  const std::vector<LyricBarSegment>& segments() const { return segments_; }
  int total() const { return total_; }
  int font_size() const { return font_size_; }
  int measured_for() const { return measured_for_; }
  int height_wide() const { return height_wide_; }
  int height_narrow() const { return height_narrow_; }
  // The tallest ascent (baseline from the top) and descent measured per kind.
  int ascent_wide() const { return ascent_wide_; }
  int ascent_narrow() const { return ascent_narrow_; }
  int descent_wide() const { return height_wide_ - ascent_wide_; }
  int descent_narrow() const { return height_narrow_ - ascent_narrow_; }
  bool fits() const { return fits_; }
  gfx::Font WideFont() const { return gfx::Font::Points(wide_face_, font_size_); }
  gfx::Font NarrowFont() const { return gfx::Font::Points(narrow_face_, font_size_); }

 private:
  // One pass at `size`; with stop_early it gives up as soon as the line is wider than the area.
  bool Pass(LyricBarTextMeter& meter, int size, int area_width, bool stop_early);

  std::vector<LyricBarSegment> segments_;
  int total_ = 0;
  int font_size_ = 0;
  int measured_for_ = 0;  // the configured size of the last Measure
  int height_wide_ = 0;
  int height_narrow_ = 0;
  int ascent_wide_ = 0;
  int ascent_narrow_ = 0;
  bool fits_ = true;
  std::string wide_face_;
  std::string narrow_face_;
};

}  // namespace quillo::ui
