#pragma once
// Internal to platform/gfx: the one Pango context every measurement and drawing shares.
#include <pango/pangocairo.h>

#include <string_view>

#include "platform/gfx/Font.h"

namespace quillo::gfx::detail {

// A layout for the text on one of two shared contexts (96 dpi): grey anti-aliasing with slight
// hinting, or (antialias false) one bit per pixel with full hinting. The caller unrefs it.
PangoLayout* NewLayout(std::string_view utf8, const Font& font, int max_width, bool wrap,
                       TextAlign align, bool ellipsize, bool antialias = true);

}  // namespace quillo::gfx::detail
