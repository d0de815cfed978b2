#pragma once
// Where a point of an HTML window's page lies on the window's resize border. The corners are
// triangles 20 pixels deep along the diagonal, the edges strips 5 pixels wide; the tests run in
// this order and the first that holds wins:
//   top-left      x + y ≤ left + top + 20
//   top-right     right − x + y ≤ 20
//   bottom-left   bottom − y + x ≤ 20
//   bottom-right  right + bottom − x − y ≤ 20
//   left          left ≤ x ≤ left + 5           (top ≤ y ≤ bottom)
//   right         right − 5 ≤ x ≤ right         (top ≤ y ≤ bottom)
//   top           top ≤ y ≤ top + 5             (left ≤ x ≤ right)
//   bottom        bottom − 5 ≤ y ≤ bottom       (left ≤ x ≤ right)
// The point and the client rectangle are in the same (client) pixels. Any thread.
#include <optional>

#include "platform/gfx/Geometry.h"
#include "platform/window/WindowPresenter.h"

namespace quillo::web {

class BorderHitTest {
 public:
  // The edge under the point, or no value where the page keeps the pointer.
  static std::optional<window::ResizeEdge> At(gfx::Point p, const gfx::Rect& client);
};

}  // namespace quillo::web
