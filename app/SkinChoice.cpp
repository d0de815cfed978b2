#include "app/SkinChoice.h"

namespace quillo::app {
namespace {
int g_current_skin = kFirstSkinResource;
}  // namespace

int SkinResourceForThemeStyle(int theme_style) {
  // Compare the style, not the sum: 194 + a huge value would overflow.
  if (theme_style < 0 || theme_style > kLastSkinResource - kFirstSkinResource) {
    return kFirstSkinResource;
  }
  return kFirstSkinResource + theme_style;
}

int CurrentSkinResource() {
  return g_current_skin;
}
void SetCurrentSkinResource(int resource) {
  g_current_skin = resource;
}

}  // namespace quillo::app
