#pragma once
// Draws into a Surface: fills, lines, skin pieces and text. Every skin copy of the toolkit goes
// through here. A Painter lives for one drawing pass on the thread that owns the surface.
#include <memory>
#include <string_view>

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"

struct _cairo;

namespace quillo::gfx {

class Painter {
 public:
  // The target must outlive the painter.
  explicit Painter(Surface& target);
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  // Makes the rectangle fully transparent.
  void Clear(const Rect& r);
  // Replaces the pixels of the rectangle with the colour (alpha included).
  void FillRectSource(const Rect& r, Color c);
  // Blends the colour over the rectangle.
  void FillRect(const Rect& r, Color c);
  // A 1-pixel frame just inside the rectangle.
  void StrokeRect(const Rect& r, Color c);
  void FillRoundedRect(const Rect& r, double radius, Color c);

  // Blends the image's source rectangle over the destination, scaled when the sizes differ
  // (nearest neighbour, so stretched skin pieces stay crisp).
  void DrawImage(const Surface& image, const Rect& source, const Rect& dest);
  void DrawImage(const Surface& image, const Rect& source, Point dest) {
    DrawImage(image, source, Rect::FromXYWH(dest.x, dest.y, source.width(), source.height()));
  }
  // Replaces the destination pixels with the image's (no blending): for opaque copies.
  void CopyImage(const Surface& image, const Rect& source, Point dest);

  // Draws the text inside the box (clipped to it) in the colour.
  void DrawText(std::string_view utf8, const Font& font, Color color, const Rect& box,
                const TextOptions& options = {});

  // Clipping for the following operations; pops restore the previous clip.
  void PushClip(const Rect& r);
  void PopClip();

 private:
  Surface& target_;
  _cairo* cr_;
};

}  // namespace quillo::gfx
