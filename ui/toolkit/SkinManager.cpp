#include "ui/toolkit/SkinManager.h"

#include <algorithm>

#include "platform/gfx/ResourceBundle.h"
#include "resources/skins/SkinResources.h"

namespace quillo::ui {

BundleSkinSource::BundleSkinSource() { skin::RegisterResources(); }

std::optional<std::string> BundleSkinSource::PngBytes(int resource_id) {
  return gfx::ResourceBundle::Lookup("/quillo/skins/" + std::to_string(resource_id) + ".png");
}

SkinManager::SkinManager(std::unique_ptr<SkinSource> source) : source_(std::move(source)) {}

SkinManager& SkinManager::Instance() {
  static SkinManager manager(std::make_unique<BundleSkinSource>());
  return manager;
}

gfx::Surface SkinManager::Load(int resource_id, bool recolourable) const {
  std::optional<std::string> bytes = source_->PngBytes(resource_id);
  if (!bytes) return {};
  std::optional<gfx::Surface> image = gfx::Surface::FromPng(*bytes);
  if (!image) return {};
  if (recolourable) shift_.ApplyTo(*image);
  return std::move(*image);
}

const gfx::Surface* SkinManager::Image(int resource_id, bool recolourable) {
  auto key = std::make_pair(resource_id, recolourable);
  auto it = cache_.find(key);
  if (it == cache_.end()) it = cache_.emplace(key, Load(resource_id, recolourable)).first;
  return &it->second;
}

void SkinManager::SetShift(const ColorShift& shift) {
  shift_ = ColorShift::Clamped(shift.hue, shift.saturation, shift.lightness);
  for (auto& [key, image] : cache_) {
    if (key.second) image = Load(key.first, true);
  }
}

gfx::Color SkinManager::PixelColor(const gfx::Surface& image, int x, int y) {
  std::uint32_t p = image.PixelAt(x, y);
  unsigned a = p >> 24;
  if (a == 0) return gfx::Color{0, 0, 0, 0};
  auto straight = [a](unsigned v) { return std::uint8_t(std::min(255u, v * 255 / a)); };
  return gfx::Color{straight((p >> 16) & 0xFF), straight((p >> 8) & 0xFF), straight(p & 0xFF),
                    std::uint8_t(a == 255 ? 254 : a)};
}

}  // namespace quillo::ui
