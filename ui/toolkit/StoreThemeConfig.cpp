#include "ui/toolkit/StoreThemeConfig.h"

namespace quillo::ui {

int StoreThemeConfig::GetInt(std::string_view key, int fallback) const {
  return store_.GetConfigInt(key, fallback);
}

void StoreThemeConfig::SetInt(std::string_view key, int value) { store_.SetConfigInt(key, value); }

}  // namespace quillo::ui
