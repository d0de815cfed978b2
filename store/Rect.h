#pragma once
// A window rectangle as the store keeps it: left, top, right, bottom in desktop pixels.
namespace quillo::store {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

}  // namespace quillo::store
