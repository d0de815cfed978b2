#pragma once
// The picture under the pointer while songs are dragged from the song list: 208 pixels wide, a
// title band "共有%d首歌曲" with the number of songs dragged, then one line per song (at most
// ten), and an 18 × 18 "add" badge over it while the pointer is over a place that takes them.
// Window thread (it draws text).
#include <string>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"

namespace quillo::ui::lists {

class SongDragCursor {
 public:
  static constexpr int kWidth = 208;
  static constexpr int kTitleHeight = 28;
  static constexpr int kLineHeight = 18;
  static constexpr int kMaxLines = 10;
  static constexpr int kBadgeSize = 18;

  // The image's height for a drag of `songs` songs.
  static int HeightFor(int songs);
  // The title band's text.
  static std::string Title(int songs);
  // Draws the picture: the names of the first songs (the title counts all of them).
  static gfx::Surface Draw(const std::vector<std::string>& names, bool droppable);
  // Where the pointer sits in the picture: its top-left corner, so the picture trails it.
  static gfx::Point Hotspot() { return {0, 0}; }
};

}  // namespace quillo::ui::lists
