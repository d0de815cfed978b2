#include "ui/lists/ListColors.h"

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui::lists {
namespace {

gfx::Color Mix(gfx::Color a, gfx::Color b, int percent_b) {
  auto mix = [&](int x, int y) {
    return static_cast<std::uint8_t>((x * (100 - percent_b) + y * percent_b) / 100);
  };
  return gfx::Color::Rgb(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
}

}  // namespace

ListColors ListColors::Of(const LayerWnd& owner) {
  namespace m = skin::main;
  ListColors c;
  if (owner.skin() != nullptr) {
    c.text = owner.SkinColor(m::kTextPixel);
    c.row_even = owner.SkinColor(m::kRowEvenPixel);
    c.row_odd = owner.SkinColor(m::kRowOddPixel);
    c.selection = owner.SkinColor(m::kSelectionPixel);
    c.selection_text = owner.SkinColor(m::kSelectionTextPixel);
    c.accent = owner.SkinColor(m::kAccentPixel);
  } else {
    c.text = gfx::Color::Rgb(30, 30, 30);
    c.row_even = gfx::Color::Rgb(255, 255, 255);
    c.row_odd = gfx::Color::Rgb(242, 246, 250);
    c.selection = gfx::Color::Rgb(58, 120, 200);
    c.selection_text = gfx::Color::Rgb(255, 255, 255);
    c.accent = gfx::Color::Rgb(230, 120, 20);
  }
  c.second_text = Mix(c.text, c.row_even, 45);
  c.failed_text = Mix(c.text, c.row_even, 65);
  c.playing_text = c.accent;
  c.playing_fill = Mix(c.row_even, c.accent, 18);
  return c;
}

}  // namespace quillo::ui::lists
