#include "platform/gfx/ResourceBundle.h"

#include <gio/gio.h>

namespace quillo::gfx {

std::optional<std::string> ResourceBundle::Lookup(const std::string& path) {
  GBytes* bytes = g_resources_lookup_data(path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
  if (!bytes) return {};
  gsize size = 0;
  const char* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
  std::string copy(data ? data : "", size);
  g_bytes_unref(bytes);
  return copy;
}

}  // namespace quillo::gfx
