#include "platform/gfx/PangoText.h"

#include <string>

namespace quillo::gfx::detail {
namespace {
PangoContext* NewContext(bool antialias) {
  PangoFontMap* map = pango_cairo_font_map_get_default();
  PangoContext* c = pango_font_map_create_context(map);
  // Fixed resolution: sizes in points must give the same pixels on every machine.
  pango_cairo_context_set_resolution(c, 96);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options,
                                   antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options,
                                    antialias ? CAIRO_HINT_STYLE_SLIGHT : CAIRO_HINT_STYLE_FULL);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  pango_cairo_context_set_font_options(c, options);
  cairo_font_options_destroy(options);
  return c;
}

PangoContext* SharedContext(bool antialias) {
  static PangoContext* smooth = NewContext(true);
  static PangoContext* crisp = NewContext(false);
  return antialias ? smooth : crisp;
}
}  // namespace

PangoLayout* NewLayout(std::string_view utf8, const Font& font, int max_width, bool wrap,
                       TextAlign align, bool ellipsize, bool antialias) {
  PangoLayout* layout = pango_layout_new(SharedContext(antialias));
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, font.family.c_str());
  if (font.pixel_size > 0) {
    pango_font_description_set_absolute_size(desc, font.pixel_size * PANGO_SCALE);
  } else {
    pango_font_description_set_size(desc, int(font.size_points * PANGO_SCALE));
  }
  pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  // Invalid UTF-8 would make Pango complain and draw boxes; it is replaced instead.
  std::string text(utf8);
  if (!g_utf8_validate(text.data(), gssize(text.size()), nullptr)) {
    gchar* fixed = g_utf8_make_valid(text.data(), gssize(text.size()));
    text = fixed;
    g_free(fixed);
  }
  pango_layout_set_text(layout, text.data(), int(text.size()));
  if (max_width > 0 && (wrap || ellipsize || align != TextAlign::kLeft)) {
    pango_layout_set_width(layout, max_width * PANGO_SCALE);
  }
  if (wrap) pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  if (ellipsize && !wrap) pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  pango_layout_set_alignment(layout, align == TextAlign::kCenter  ? PANGO_ALIGN_CENTER
                                     : align == TextAlign::kRight ? PANGO_ALIGN_RIGHT
                                                                  : PANGO_ALIGN_LEFT);
  return layout;
}

}  // namespace quillo::gfx::detail
