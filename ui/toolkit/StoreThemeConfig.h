#pragma once
// ThemeConfig over the document store's configuration entries. Window thread (the store itself
// may be used from any thread).
#include "store/DocumentStore.h"
#include "ui/toolkit/ThemeConfig.h"

namespace quillo::ui {

class StoreThemeConfig : public ThemeConfig {
 public:
  // The store must outlive this object.
  explicit StoreThemeConfig(store::DocumentStore& store) : store_(store) {}
  int GetInt(std::string_view key, int fallback) const override;
  void SetInt(std::string_view key, int value) override;

 private:
  store::DocumentStore& store_;
};

}  // namespace quillo::ui
