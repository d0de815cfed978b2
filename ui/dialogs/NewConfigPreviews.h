#pragma once
// The settings dialog's two previews, drawn from the working copy alone (no window needed):
//   - the desktop lyric bar's: "Zelbo音乐" in the working Chinese font and size, in the working
//     colour scheme: a shadow in the gradient's bottom colour halved, then the gradient one pixel
//     up and left of it; centred vertically, centred or at the left edge as aligned; with
//     karaoke on, the first 0.382 of the text's width in the sung colours. Clipped to the area.
//   - the lyric window's: three centred lines ("Zelbo音乐", a sample line in the current-line
//     colour, "Zelbo音乐") in the working font and point size on the working background;
//     lines that do not fit are cut from the bottom.
// Window thread (Pango).
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"

namespace quillo::ui {

class NewConfigWorkingCopy;

class NewConfigPreviews {
 public:
  static constexpr const char* kSample = "Zelbo音乐";
  static constexpr const char* kCurrentSample = "当前播放的歌词";
  static constexpr double kKaraokeShare = 0.382;

  static void DrawLyricBar(gfx::Surface& target, const gfx::Rect& area,
                           const NewConfigWorkingCopy& working);
  static void DrawLyricWindow(gfx::Surface& target, const gfx::Rect& area,
                              const NewConfigWorkingCopy& working);
};

}  // namespace quillo::ui
