#pragma once
// Integer geometry in window pixels: points, sizes and half-open rectangles (right and bottom
// are outside), as the skinned windows measure everything.
#include <algorithm>

namespace quillo::gfx {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static constexpr Rect FromXYWH(int x, int y, int width, int height) {
    return Rect{x, y, x + width, y + height};
  }
  constexpr int width() const { return right - left; }
  constexpr int height() const { return bottom - top; }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }
  constexpr bool Contains(Point p) const {
    return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
  }
  constexpr Rect Offset(int dx, int dy) const {
    return Rect{left + dx, top + dy, right + dx, bottom + dy};
  }
  constexpr Rect Intersect(const Rect& other) const {
    Rect r{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
           std::min(bottom, other.bottom)};
    if (r.IsEmpty()) return Rect{};
    return r;
  }
  bool operator==(const Rect&) const = default;
};

}  // namespace quillo::gfx
