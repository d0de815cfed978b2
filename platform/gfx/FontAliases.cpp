#include "platform/gfx/FontAliases.h"

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <string>

namespace quillo::gfx {

bool FontAliases::Install(std::string_view fontconfig_xml) {
  FcConfig* config = FcConfigGetCurrent();
  std::string text(fontconfig_xml);
  if (!FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(text.c_str()),
                                      FcTrue)) {
    return false;
  }
  PangoFontMap* map = pango_cairo_font_map_get_default();
  if (PANGO_IS_FC_FONT_MAP(map)) pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
  return true;
}

std::string FontAliases::ResolvedFamily(std::string_view face) {
  std::string name(face);
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string family;
  FcChar8* value = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch) {
    family = reinterpret_cast<const char*>(value);
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return family;
}

}  // namespace quillo::gfx
