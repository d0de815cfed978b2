#include "service-stub/PictureMaker.h"

#include <algorithm>
#include <cmath>

namespace quillo::stub {
namespace {

struct Rgb {
  double r, g, b;
};

Rgb FromHsv(double hue, double saturation, double value) {
  const double h = std::fmod(hue, 360.0) / 60.0;
  const double c = value * saturation;
  const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  Rgb rgb{0, 0, 0};
  if (h < 1) rgb = {c, x, 0};
  else if (h < 2) rgb = {x, c, 0};
  else if (h < 3) rgb = {0, c, x};
  else if (h < 4) rgb = {0, x, c};
  else if (h < 5) rgb = {x, 0, c};
  else rgb = {c, 0, x};
  const double m = value - c;
  return {rgb.r + m, rgb.g + m, rgb.b + m};
}

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void Plot(RgbImage& image, int x, int y, const Rgb& c) {
  auto channel = [](double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
  image.Put(x, y, channel(c.r), channel(c.g), channel(c.b));
}

double HueOf(std::uint32_t seed) { return static_cast<double>((seed * 2654435761u) % 360u); }

}  // namespace

RgbImage ArtistPicture(std::uint32_t seed) {
  RgbImage image(kPictureSize, kPictureSize);
  const double hue = HueOf(seed);
  const Rgb inner = FromHsv(hue, 0.45, 0.95);
  const Rgb outer = FromHsv(hue + 30, 0.8, 0.45);
  const Rgb figure = FromHsv(hue + 180, 0.35, 0.2);
  for (int y = 0; y < kPictureSize; ++y) {
    for (int x = 0; x < kPictureSize; ++x) {
      const double dx = x - 31.5, dy = y - 28.0;
      Rgb c = Mix(inner, outer, std::sqrt(dx * dx + dy * dy) / 44.0);
      const double head = std::hypot(x - 31.5, y - 24.0);
      const double shoulders = std::hypot((x - 31.5) / 1.6, y - 66.0);
      if (head < 11.0 || shoulders < 22.0) c = figure;
      Plot(image, x, y, c);
    }
  }
  return image;
}

RgbImage AlbumPicture(std::uint32_t seed) {
  RgbImage image(kPictureSize, kPictureSize);
  const double hue = HueOf(seed ^ 0x5bd1e995u);
  const Rgb sleeve_top = FromHsv(hue, 0.6, 0.9);
  const Rgb sleeve_bottom = FromHsv(hue + 50, 0.7, 0.6);
  const Rgb label = FromHsv(hue + 160, 0.7, 0.95);
  for (int y = 0; y < kPictureSize; ++y) {
    for (int x = 0; x < kPictureSize; ++x) {
      Rgb c = Mix(sleeve_top, sleeve_bottom, y / 63.0);
      const double r = std::hypot(x - 31.5, y - 31.5);
      if (r < 27.0) {
        // Grooves: alternating dark rings.
        const double groove = (static_cast<int>(r * 1.5) % 2) ? 0.10 : 0.16;
        c = {groove, groove, groove};
        if (r < 10.0) c = label;
        if (r < 1.8) c = {0.05, 0.05, 0.05};
      }
      Plot(image, x, y, c);
    }
  }
  return image;
}

RgbImage UserPicture(std::uint32_t seed) {
  RgbImage image(kPictureSize, kPictureSize);
  const double hue = HueOf(seed + 77);
  const Rgb background = FromHsv(hue, 0.25, 0.95);
  const Rgb face = FromHsv(35, 0.35, 0.97);
  const Rgb feature = {0.2, 0.15, 0.1};
  for (int y = 0; y < kPictureSize; ++y) {
    for (int x = 0; x < kPictureSize; ++x) {
      Rgb c = background;
      const double r = std::hypot(x - 31.5, y - 31.5);
      if (r < 24.0) c = face;
      if (std::hypot(x - 23.0, y - 26.0) < 3.0 || std::hypot(x - 40.0, y - 26.0) < 3.0) c = feature;
      const double smile = std::hypot(x - 31.5, y - 34.0);
      if (y > 38 && smile > 10.0 && smile < 12.5) c = feature;
      Plot(image, x, y, c);
    }
  }
  return image;
}

}  // namespace quillo::stub
