#pragma once
// The program's skin images: PNGs from the resource bundle, cached by (resource id,
// recolourable), recoloured by the theme colour shift. Window thread only.
//
// Image pointers stay valid for the manager's life: a shift change redraws the cached images in
// place, so windows keep drawing from the same objects.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/gfx/Color.h"
#include "platform/gfx/Surface.h"
#include "ui/toolkit/ColorShift.h"

namespace quillo::ui {

// Where the PNG bytes of a resource number come from.
class SkinSource {
 public:
  virtual ~SkinSource() = default;
  virtual std::optional<std::string> PngBytes(int resource_id) = 0;
};

// The compiled bundle ("/quillo/skins/<id>.png").
class BundleSkinSource : public SkinSource {
 public:
  BundleSkinSource();
  std::optional<std::string> PngBytes(int resource_id) override;
};

class SkinManager {
 public:
  explicit SkinManager(std::unique_ptr<SkinSource> source);

  // The process's manager over the bundle, made on first use.
  static SkinManager& Instance();

  // The image for the resource, loaded and (when recolourable) shifted on first request; a null
  // surface when the resource is missing or unreadable (never a null pointer).
  const gfx::Surface* Image(int resource_id, bool recolourable);

  const ColorShift& shift() const { return shift_; }
  // Reloads every recolourable image and applies the new shift (out-of-range values count 0).
  void SetShift(const ColorShift& shift);

  // The current main-window skin (194 + style).
  int style_image() const { return style_image_; }
  void SetStyleImage(int resource_id) { style_image_ = resource_id; }

  // The text colour a skin pixel gives: straight colour of the premultiplied pixel; alpha 255
  // becomes 254. A transparent pixel gives transparent black.
  static gfx::Color PixelColor(const gfx::Surface& image, int x, int y);

  std::size_t cached_count() const { return cache_.size(); }

 private:
  gfx::Surface Load(int resource_id, bool recolourable) const;

  std::unique_ptr<SkinSource> source_;
  std::map<std::pair<int, bool>, gfx::Surface> cache_;
  ColorShift shift_;
  int style_image_ = 194;
};

}  // namespace quillo::ui
