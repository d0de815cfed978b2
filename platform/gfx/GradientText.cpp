#include "platform/gfx/GradientText.h"

#include <cairo.h>

#include "platform/gfx/PangoText.h"

namespace quillo::gfx {
namespace {
void AddStop(cairo_pattern_t* pattern, double offset, Color c) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, c.r / 255.0, c.g / 255.0, c.b / 255.0,
                                    c.a / 255.0);
}
}  // namespace

struct GradientText::Layout {
  PangoLayout* layout = nullptr;
  ~Layout() {
    if (layout) g_object_unref(layout);
  }
};

GradientText::GradientText(std::string_view utf8, const Font& font)
    : layout_(std::make_unique<Layout>()) {
  layout_->layout = detail::NewLayout(utf8, font, 0, false, TextAlign::kLeft, false);
}

GradientText::~GradientText() = default;

TextExtent GradientText::Extent() const {
  PangoRectangle logical{};
  pango_layout_get_extents(layout_->layout, nullptr, &logical);
  return TextExtent{double(logical.width) / PANGO_SCALE, double(logical.height) / PANGO_SCALE,
                    double(pango_layout_get_baseline(layout_->layout)) / PANGO_SCALE};
}

TextExtent GradientText::Measure(std::string_view utf8, const Font& font) {
  if (utf8.empty()) return {};
  return GradientText(utf8, font).Extent();
}

void GradientText::Draw(Surface& target, double x, double y, const VerticalGradient& fill) const {
  if (target.IsNull()) return;
  cairo_t* cr = cairo_create(target.native());
  if (fill.top == fill.bottom) {
    cairo_set_source_rgba(cr, fill.top.r / 255.0, fill.top.g / 255.0, fill.top.b / 255.0,
                          fill.top.a / 255.0);
  } else {
    cairo_pattern_t* pattern =
        cairo_pattern_create_linear(0, 0, 0, fill.period_px > 0 ? fill.period_px : 1);
    AddStop(pattern, 0, fill.top);
    AddStop(pattern, 1, fill.bottom);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);  // the context holds its own reference
  }
  cairo_move_to(cr, x, y);
  pango_cairo_update_layout(cr, layout_->layout);
  pango_cairo_show_layout(cr, layout_->layout);
  cairo_destroy(cr);
  cairo_surface_flush(target.native());
}

void CopyFaded(Surface& target, const Surface& source, std::uint8_t alpha) {
  if (target.IsNull() || source.IsNull()) return;
  cairo_t* cr = cairo_create(target.native());
  // SOURCE with an alpha would keep part of the old pixels: clear, then blend.
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_surface(cr, source.native(), 0, 0);
  cairo_paint_with_alpha(cr, alpha / 255.0);
  cairo_destroy(cr);
  cairo_surface_flush(target.native());
}

}  // namespace quillo::gfx
