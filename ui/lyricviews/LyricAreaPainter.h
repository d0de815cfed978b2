#pragma once
// Paints the lyric window's lyric area from a snapshot of its state: the background, either one
// status text or the visible lines with the marked one in the current-line colour, the line
// across the middle while scrolling, and the one-time scroll hint. Owns nothing; the window
// decides what to paint and keeps the results. Window thread.
#include <optional>
#include <string>

#include "platform/gfx/Geometry.h"

namespace quillo::gfx {
class Painter;
}

namespace quillo::ui {

class LyricLineLayout;
struct LyricDlgLook;

class LyricAreaPainter {
 public:
  static constexpr const char* kIdleText = "Zelbo音乐";
  static constexpr const char* kDownloadingText = "正在下载歌词, 请稍候...";
  static constexpr const char* kNotFoundText = "对不起, 没有找到相应的歌词:(";
  static constexpr const char* kHintText = "提示：鼠标滚轮可调整歌词";
  static constexpr int kHintHeight = 18;
  // The hint shows only in an area taller than this.
  static constexpr int kHintMinViewHeight = 40;

  struct State {
    gfx::Rect area;                          // window pixels
    std::optional<std::string> status_text;  // instead of the lines
    int current_index = -1;
    bool scrolling = false;  // placed by top instead of centring the current line
    int top = 0;             // list offset at the area's top
    bool show_hint = false;  // hint shown and not done yet
  };

  // The text shown instead of the lines for a lyric state other than loaded (0), or none.
  static std::optional<std::string> StatusText(bool player_active, int lyric_state);

  // Paints and answers the index of the line drawn across the middle of the area (-1 none).
  static int Paint(gfx::Painter& painter, const State& state, const LyricDlgLook& look,
                   const LyricLineLayout& layout);
};

}  // namespace quillo::ui
