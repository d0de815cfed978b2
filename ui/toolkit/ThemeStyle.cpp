#include "ui/toolkit/ThemeStyle.h"

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

int ThemeStyle::SkinForStyle(int style) {
  return skin::kMainFirst + (style >= 0 && style < skin::kStyleCount ? style : 0);
}

bool ThemeStyle::IsMainSkin(int skin_id) {
  return skin_id >= skin::kMainFirst && skin_id < skin::kMainFirst + skin::kStyleCount;
}

void ThemeStyle::LoadFromConfig(const ThemeConfig& config, SkinManager& skins) {
  skins.SetStyleImage(SkinForStyle(config.GetInt(kThemeStyleKey, 0)));
  skins.SetShift(ColorShift::Clamped(config.GetInt(kThemeHueKey, 0),
                                     config.GetInt(kThemeSaturationKey, 0),
                                     config.GetInt(kThemeLightnessKey, 0)));
}

void ThemeStyle::Apply(int style, ThemeConfig& config, SkinManager& skins) {
  int image = SkinForStyle(style);
  skins.SetStyleImage(image);
  skins.SetShift(ColorShift{});
  config.SetInt(kThemeStyleKey, image - skin::kMainFirst);
  config.SetInt(kThemeHueKey, 0);
  config.SetInt(kThemeLightnessKey, 0);
  config.SetInt(kThemeSaturationKey, 0);
  for (LayerWnd* window : LayerWindowRegistry::All()) {
    if (IsMainSkin(window->skin_id())) window->SetSkin(image);
  }
  LayerWindowRegistry::RedrawAll();
}

void ThemeStyle::ApplyShift(const ColorShift& shift, ThemeConfig& config, SkinManager& skins) {
  ColorShift clamped = ColorShift::Clamped(shift.hue, shift.saturation, shift.lightness);
  skins.SetShift(clamped);
  config.SetInt(kThemeHueKey, clamped.hue);
  config.SetInt(kThemeSaturationKey, clamped.saturation);
  config.SetInt(kThemeLightnessKey, clamped.lightness);
  LayerWindowRegistry::RedrawAll();
}

}  // namespace quillo::ui
