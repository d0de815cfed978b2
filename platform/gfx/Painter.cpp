#include "platform/gfx/Painter.h"

#include <cairo.h>

#include "platform/gfx/PangoText.h"

namespace quillo::gfx {
namespace {
void SetColor(cairo_t* cr, Color c) {
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}
void AddRect(cairo_t* cr, const Rect& r) {
  cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
}
}  // namespace

Painter::Painter(Surface& target) : target_(target), cr_(cairo_create(target.native())) {}

Painter::~Painter() {
  cairo_destroy(cr_);
  cairo_surface_flush(target_.native());
}

void Painter::Clear(const Rect& r) {
  cairo_save(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
  AddRect(cr_, r);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void Painter::FillRectSource(const Rect& r, Color c) {
  cairo_save(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  SetColor(cr_, c);
  AddRect(cr_, r);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void Painter::FillRect(const Rect& r, Color c) {
  SetColor(cr_, c);
  AddRect(cr_, r);
  cairo_fill(cr_);
}

void Painter::StrokeRect(const Rect& r, Color c) {
  if (r.IsEmpty()) return;
  SetColor(cr_, c);
  cairo_set_line_width(cr_, 1);
  cairo_rectangle(cr_, r.left + 0.5, r.top + 0.5, r.width() - 1, r.height() - 1);
  cairo_stroke(cr_);
}

void Painter::FillRoundedRect(const Rect& r, double radius, Color c) {
  double x = r.left, y = r.top, w = r.width(), h = r.height();
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, x + w - radius, y + radius, radius, -G_PI / 2, 0);
  cairo_arc(cr_, x + w - radius, y + h - radius, radius, 0, G_PI / 2);
  cairo_arc(cr_, x + radius, y + h - radius, radius, G_PI / 2, G_PI);
  cairo_arc(cr_, x + radius, y + radius, radius, G_PI, 3 * G_PI / 2);
  cairo_close_path(cr_);
  SetColor(cr_, c);
  cairo_fill(cr_);
}

void Painter::DrawImage(const Surface& image, const Rect& source, const Rect& dest) {
  if (image.IsNull() || source.IsEmpty() || dest.IsEmpty()) return;
  cairo_save(cr_);
  AddRect(cr_, dest);
  cairo_clip(cr_);
  cairo_translate(cr_, dest.left, dest.top);
  cairo_scale(cr_, double(dest.width()) / source.width(), double(dest.height()) / source.height());
  cairo_set_source_surface(cr_, image.native(), -source.left, -source.top);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_NEAREST);
  // Stretching must not pull in pixels from beside the piece.
  cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

void Painter::CopyImage(const Surface& image, const Rect& source, Point dest) {
  if (image.IsNull() || source.IsEmpty()) return;
  cairo_save(cr_);
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  cairo_rectangle(cr_, dest.x, dest.y, source.width(), source.height());
  cairo_clip(cr_);
  cairo_set_source_surface(cr_, image.native(), dest.x - source.left, dest.y - source.top);
  cairo_paint(cr_);
  cairo_restore(cr_);
}

void Painter::DrawText(std::string_view utf8, const Font& font, Color color, const Rect& box,
                       const TextOptions& options) {
  if (utf8.empty() || box.IsEmpty()) return;
  PangoLayout* layout = detail::NewLayout(utf8, font, box.width(), options.wrap, options.align,
                                          options.ellipsize, options.antialias);
  int text_height = 0;
  pango_layout_get_pixel_size(layout, nullptr, &text_height);
  int y = box.top;
  if (options.vertical_center) y += (box.height() - text_height) / 2;
  cairo_save(cr_);
  AddRect(cr_, box);
  cairo_clip(cr_);
  SetColor(cr_, color);
  cairo_move_to(cr_, box.left, y);
  pango_cairo_update_layout(cr_, layout);
  pango_cairo_show_layout(cr_, layout);
  cairo_restore(cr_);
  g_object_unref(layout);
}

void Painter::PushClip(const Rect& r) {
  cairo_save(cr_);
  AddRect(cr_, r);
  cairo_clip(cr_);
}

void Painter::PopClip() { cairo_restore(cr_); }

}  // namespace quillo::gfx
