#pragma once
// The theme: nine skin styles (main skin image 194 + style) and the colour shift. Window thread.
#include "store/ConfigKeys.h"
#include "ui/toolkit/ColorShift.h"
#include "ui/toolkit/SkinManager.h"
#include "ui/toolkit/ThemeConfig.h"

namespace quillo::ui {

// The store's key; the view is made from a literal, so its data is NUL-terminated.
inline constexpr const char* kThemeStyleKey = store::keys::kThemeStyle.data();
inline constexpr const char* kThemeHueKey = "theme.color.h";
inline constexpr const char* kThemeLightnessKey = "theme.color.l";
inline constexpr const char* kThemeSaturationKey = "theme.color.s";

class ThemeStyle {
 public:
  // The main skin image of a style: 194 + style for 0 … 8, 194 for anything else.
  static int SkinForStyle(int style);
  static bool IsMainSkin(int skin_id);

  // Sets the skin manager's style image and colour shift from the configuration.
  static void LoadFromConfig(const ThemeConfig& config, SkinManager& skins);

  // Applies style n: skin 194 + n, colour shift reset to (0, 0, 0), "theme.style" = n and the
  // three colour keys 0; every live window on a main skin switches to the new one and all live
  // windows are redrawn.
  static void Apply(int style, ThemeConfig& config, SkinManager& skins);

  // Applies a colour shift (the settings dialog's sliders): stored and redrawn.
  static void ApplyShift(const ColorShift& shift, ThemeConfig& config, SkinManager& skins);
};

}  // namespace quillo::ui
