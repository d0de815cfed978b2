#pragma once
// The font families fontconfig knows (its current configuration, so our alias file's faces are
// not among them: they are aliases, not families). Each family's first name is taken; a family
// that several font files share is listed once, where it first appears.
#include "platform/gfx/FontFamilySource.h"

namespace quillo::gfx {

class FontconfigFamilies final : public FontFamilySource {
 public:
  std::vector<std::string> Families() const override;
};

}  // namespace quillo::gfx
