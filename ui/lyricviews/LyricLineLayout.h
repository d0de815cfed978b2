#pragma once
// The lyric window's line list: one entry per line of the timeline, in order, each as high as
// the font asks (size × 5 / 3 pixels) and placed right below the one before it. It answers the
// geometry the window scrolls and marks by: the top that centres a line, and the line that
// crosses the middle of the view. No drawing here. Window thread.
#include <string>
#include <vector>

namespace quillo::lyrics {
class LyricTimeline;
}

namespace quillo::ui {

class LyricLineLayout {
 public:
  struct Line {
    std::string text;
    int height = 0;
    int y = 0;  // the sum of the heights before it
  };

  // Takes the texts of the timeline's lines, every line `line_height` pixels high.
  void Build(const lyrics::LyricTimeline& timeline, int line_height);
  // New heights (a settings reload); the texts stay.
  void Relayout(int line_height);
  void Clear() { lines_.clear(); }
  // Whether the list holds exactly the timeline's texts, in order (a reloaded lyric of the same
  // song may not).
  bool SameTexts(const lyrics::LyricTimeline& timeline) const;

  bool empty() const { return lines_.empty(); }
  int size() const { return static_cast<int>(lines_.size()); }
  bool IsValidIndex(int index) const { return index >= 0 && index < size(); }
  const std::vector<Line>& lines() const { return lines_; }
  // The list's total height in pixels.
  int TotalHeight() const;

  // The list offset at the view's top that centres line `index` in a view `view_height` high:
  // its y + (its height − view_height) / 2. 0 for an index that is not valid.
  int CenteredTop(int index, int view_height) const;
  // The index of the line that crosses the middle of the view (y ≤ top + view_height / 2 <
  // y + height) when the view's top is at list offset `top`; -1 when no line does.
  int LineAtMiddle(int top, int view_height) const;
  // The lines that show in a view `view_height` high at list offset `top`: [first, last).
  std::pair<int, int> VisibleRange(int top, int view_height) const;

 private:
  std::vector<Line> lines_;
};

}  // namespace quillo::ui
