#pragma once
// What the theme needs of the configuration ("theme.style", "theme.color.h/l/s"), so that the
// toolkit does not depend on the document store (StoreThemeConfig adapts the store).
#include <string_view>

namespace quillo::ui {

class ThemeConfig {
 public:
  virtual ~ThemeConfig() = default;
  virtual int GetInt(std::string_view key, int fallback) const = 0;
  virtual void SetInt(std::string_view key, int value) = 0;
};

}  // namespace quillo::ui
