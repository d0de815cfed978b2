#pragma once
// The colours the two lists draw with, read from the owner window's skin palette (so they follow
// the theme and its colour shift), with plain fallbacks for a window without a skin.
#include "platform/gfx/Color.h"

namespace quillo::ui {
class LayerWnd;
}

namespace quillo::ui::lists {

struct ListColors {
  gfx::Color text;
  gfx::Color second_text;  // the artist after the title, the song counts
  gfx::Color row_even;
  gfx::Color row_odd;
  gfx::Color selection;
  gfx::Color selection_text;
  gfx::Color playing_text;  // the playing row's text
  gfx::Color playing_fill;
  gfx::Color failed_text;  // songs that failed to play since the last good start
  gfx::Color accent;       // the drop position, the heading

  static ListColors Of(const LayerWnd& owner);
};

}  // namespace quillo::ui::lists
