#include "platform/gfx/FontconfigFamilies.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <set>

namespace quillo::gfx {
namespace {
struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
struct ObjectSetDeleter {
  void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); }
};
struct FontSetDeleter {
  void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
};
}  // namespace

std::vector<std::string> FontconfigFamilies::Families() const {
  std::vector<std::string> families;
  std::unique_ptr<FcPattern, PatternDeleter> pattern(FcPatternCreate());
  std::unique_ptr<FcObjectSet, ObjectSetDeleter> objects(FcObjectSetBuild(FC_FAMILY, nullptr));
  if (!pattern || !objects) return families;
  std::unique_ptr<FcFontSet, FontSetDeleter> fonts(
      FcFontList(nullptr, pattern.get(), objects.get()));
  if (!fonts) return families;
  std::set<std::string> seen;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &name) != FcResultMatch) continue;
    std::string family(reinterpret_cast<const char*>(name));
    if (!family.empty() && seen.insert(family).second) families.push_back(std::move(family));
  }
  return families;
}

}  // namespace quillo::gfx
