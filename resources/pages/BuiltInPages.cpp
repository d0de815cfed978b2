#include "resources/pages/BuiltInPages.h"

#include <gio/gio.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

extern "C" void quillo_pages_register_resource(void);
extern "C" GResource* quillo_pages_get_resource(void);

namespace quillo::resources {
namespace {

constexpr char kRoot[] = "/quillo/pages/";

struct BytesUnref {
  void operator()(GBytes* bytes) const { g_bytes_unref(bytes); }
};
using BytesPtr = std::unique_ptr<GBytes, BytesUnref>;

struct StrvFree {
  void operator()(char** names) const { g_strfreev(names); }
};
using StrvPtr = std::unique_ptr<char*, StrvFree>;

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string_view MimeTypeOf(std::string_view name) {
  if (EndsWith(name, ".html")) return "text/html; charset=utf-8";
  // The scripts hold Chinese texts; say so rather than rely on the page's encoding.
  if (EndsWith(name, ".js")) return "text/javascript; charset=utf-8";
  if (EndsWith(name, ".css")) return "text/css";
  if (EndsWith(name, ".png")) return "image/png";
  if (EndsWith(name, ".svg")) return "image/svg+xml";
  return "application/octet-stream";
}

// Every resource of the bundle by its relative name, read once. The bundle's data is compiled
// into the program, so the views stay valid for the whole run.
class Bundle {
 public:
  // Registering also initialises the compiled-in resource, which get_resource only returns.
  Bundle() {
    quillo_pages_register_resource();
    Walk(kRoot);
  }

  std::optional<BuiltInPage> Find(std::string_view name) const {
    const auto found = pages_.find(std::string(name));
    if (found == pages_.end()) return std::nullopt;
    return found->second;
  }

 private:
  void Walk(const std::string& folder) {
    GResource* resource = quillo_pages_get_resource();
    StrvPtr children(g_resource_enumerate_children(resource, folder.c_str(),
                                                   G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
    if (!children) return;
    for (char** child = children.get(); *child; ++child) {
      const std::string path = folder + *child;
      if (EndsWith(path, "/")) {
        Walk(path);
        continue;
      }
      BytesPtr bytes(g_resource_lookup_data(resource, path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE,
                                            nullptr));
      if (!bytes) continue;
      gsize size = 0;
      const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &size));
      const std::string name = path.substr(sizeof(kRoot) - 1);
      pages_[name] = BuiltInPage{std::string_view(data ? data : "", size), MimeTypeOf(name)};
      held_.push_back(std::move(bytes));
    }
  }

  std::map<std::string, BuiltInPage> pages_;
  std::vector<BytesPtr> held_;
};

bool IsPlainName(std::string_view name) {
  return !name.empty() && name.front() != '/' && name.find("..") == std::string_view::npos &&
         name.find('\\') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

std::optional<BuiltInPage> FindBuiltInPage(std::string_view name) {
  if (!IsPlainName(name)) return std::nullopt;
  static const Bundle bundle;
  return bundle.Find(name);
}

}  // namespace quillo::resources
