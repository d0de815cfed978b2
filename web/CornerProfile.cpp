#include "web/CornerProfile.h"

#include <algorithm>

namespace quillo::web {

CornerProfile CornerProfile::Default() {
  return CornerProfile({4, 2, 1, 0});
}

CornerProfile CornerProfile::FromOptions(int count, const std::vector<int>& insets) {
  if (count == 0) return Rectangular();
  if (insets.empty()) return Default();
  std::vector<int> used = insets;
  if (count > 0) used.resize(std::size_t(count), 0);
  return CornerProfile(std::move(used));
}

CornerProfile::CornerProfile(std::vector<int> insets) : insets_(std::move(insets)) {
  for (int& inset : insets_) inset = std::max(inset, 0);
}

bool CornerProfile::IsRectangular() const {
  return std::all_of(insets_.begin(), insets_.end(), [](int inset) { return inset == 0; });
}

bool CornerProfile::Fits(gfx::Size size) const {
  if (IsRectangular()) return false;
  const int rows = int(insets_.size());
  const int widest = *std::max_element(insets_.begin(), insets_.end());
  return size.height >= 2 * rows && size.width > 2 * widest;
}

std::vector<gfx::Point> CornerProfile::Polygon(gfx::Size size) const {
  std::vector<gfx::Point> points;
  if (!Fits(size)) return points;
  const int w = size.width, h = size.height, n = int(insets_.size());
  const auto& in = insets_;
  // Down the right side: the top-right steps, the straight edge (the rows past the profile are
  // whole), then the bottom-right steps.
  for (int i = 0; i < n; ++i) {
    points.push_back({w - in[i], i});
    points.push_back({w - in[i], i + 1});
  }
  points.push_back({w, n});
  points.push_back({w, h - n});
  for (int i = n - 1; i >= 0; --i) {
    points.push_back({w - in[i], h - i - 1});
    points.push_back({w - in[i], h - i});
  }
  // Up the left side: the bottom-left steps, then the top-left steps.
  for (int i = 0; i < n; ++i) {
    points.push_back({in[i], h - i});
    points.push_back({in[i], h - i - 1});
  }
  points.push_back({0, h - n});
  points.push_back({0, n});
  for (int i = n - 1; i >= 0; --i) {
    points.push_back({in[i], i + 1});
    points.push_back({in[i], i});
  }
  // Steps of equal inset leave points on a straight line; drop repeats only.
  points.erase(std::unique(points.begin(), points.end()), points.end());
  if (points.size() > 1 && points.front() == points.back()) points.pop_back();
  return points;
}

std::vector<gfx::Rect> CornerProfile::Bands(gfx::Size size) const {
  std::vector<gfx::Rect> bands;
  if (!Fits(size)) return bands;
  const int w = size.width, h = size.height, n = int(insets_.size());
  for (int i = 0; i < n; ++i) {
    bands.push_back(gfx::Rect{insets_[i], i, w - insets_[i], i + 1});
    bands.push_back(gfx::Rect{insets_[i], h - i - 1, w - insets_[i], h - i});
  }
  if (h - 2 * n > 0) bands.push_back(gfx::Rect{0, n, w, h - n});
  return bands;
}

}  // namespace quillo::web
