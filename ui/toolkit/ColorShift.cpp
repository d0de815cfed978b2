#include "ui/toolkit/ColorShift.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace quillo::ui {
namespace {
struct Hsl {
  double h, s, l;
};

Hsl ToHsl(double r, double g, double b) {
  double max = std::max({r, g, b}), min = std::min({r, g, b});
  double l = (max + min) / 2, h = 0, s = 0;
  double d = max - min;
  if (d > 1e-9) {
    s = l > 0.5 ? d / (2 - max - min) : d / (max + min);
    if (max == r) h = std::fmod((g - b) / d + 6, 6);
    else if (max == g) h = (b - r) / d + 2;
    else h = (r - g) / d + 4;
    h *= 60;
  }
  return {h, s, l};
}

double HueToChannel(double p, double q, double t) {
  if (t < 0) t += 1;
  if (t > 1) t -= 1;
  if (t < 1.0 / 6) return p + (q - p) * 6 * t;
  if (t < 0.5) return q;
  if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
  return p;
}

double Move(double value, int percent) {
  return percent >= 0 ? value + (1 - value) * percent / 100.0 : value + value * percent / 100.0;
}

std::uint8_t ToByte(double v) { return std::uint8_t(std::clamp(std::lround(v * 255), 0L, 255L)); }
}  // namespace

ColorShift ColorShift::Clamped(int hue, int saturation, int lightness) {
  ColorShift shift;
  shift.hue = hue >= 0 && hue < 360 ? hue : 0;
  shift.saturation = saturation >= -100 && saturation <= 100 ? saturation : 0;
  shift.lightness = lightness >= -100 && lightness <= 100 ? lightness : 0;
  return shift;
}

gfx::Color ColorShift::Apply(gfx::Color c) const {
  if (IsIdentity()) return c;
  Hsl hsl = ToHsl(c.r / 255.0, c.g / 255.0, c.b / 255.0);
  double h = std::fmod(hsl.h + hue, 360.0) / 360.0;
  double s = std::clamp(Move(hsl.s, saturation), 0.0, 1.0);
  double l = std::clamp(Move(hsl.l, lightness), 0.0, 1.0);
  double r, g, b;
  if (s < 1e-9) {
    r = g = b = l;
  } else {
    double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    double p = 2 * l - q;
    r = HueToChannel(p, q, h + 1.0 / 3);
    g = HueToChannel(p, q, h);
    b = HueToChannel(p, q, h - 1.0 / 3);
  }
  return gfx::Color{ToByte(r), ToByte(g), ToByte(b), c.a};
}

void ColorShift::ApplyTo(gfx::Surface& image) const {
  if (IsIdentity() || image.IsNull()) return;
  image.PixelAt(0, 0);  // flushes pending drawing before the raw access
  // Skins use few distinct colours; remember each one's result.
  std::unordered_map<std::uint32_t, std::uint32_t> done;
  for (int y = 0; y < image.height(); ++y) {
    std::uint32_t* row = image.Row(y);
    for (int x = 0; x < image.width(); ++x) {
      std::uint32_t p = row[x];
      unsigned a = p >> 24;
      if (a == 0) continue;
      auto it = done.find(p);
      if (it != done.end()) {
        row[x] = it->second;
        continue;
      }
      auto straight = [a](unsigned v) { return std::uint8_t(std::min(255u, (v * 255 + a / 2) / a)); };
      gfx::Color shifted = Apply(gfx::Color{straight((p >> 16) & 0xFF), straight((p >> 8) & 0xFF),
                                            straight(p & 0xFF), std::uint8_t(a)});
      auto pre = [a](unsigned v) { return (v * a + 127) / 255; };
      std::uint32_t out = (a << 24) | (pre(shifted.r) << 16) | (pre(shifted.g) << 8) | pre(shifted.b);
      done.emplace(p, out);
      row[x] = out;
    }
  }
  image.MarkDirty();
}

}  // namespace quillo::ui
