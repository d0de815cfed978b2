#include "platform/gfx/TextMeasure.h"

#include "platform/gfx/PangoText.h"

namespace quillo::gfx {

Size TextMeasure::Measure(std::string_view utf8, const Font& font, int max_width, bool wrap) {
  PangoLayout* layout = detail::NewLayout(utf8, font, max_width, wrap, TextAlign::kLeft, false);
  int width = 0;
  int height = 0;
  pango_layout_get_pixel_size(layout, &width, &height);
  g_object_unref(layout);
  return Size{width, height};
}

}  // namespace quillo::gfx
