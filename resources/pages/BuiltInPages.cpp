#include "resources/pages/BuiltInPages.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/gfx/ResourceBundle.h"

// Made by glib-compile-resources from this folder's files (see CMakeLists.txt).
extern "C" void quillo_pages_register_resource(void);

namespace quillo::resources {
namespace {

constexpr std::string_view kRoot = "/quillo/pages/";

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

// The bundle's files by relative name, read on first use and kept for the whole run (entries are
// never removed or changed, so the views handed out stay valid).
class Bundle {
 public:
  Bundle() { quillo_pages_register_resource(); }

  std::optional<std::string_view> Find(std::string_view name) {
    std::lock_guard lock(mutex_);
    if (const auto found = files_.find(name); found != files_.end()) return found->second;
    std::optional<std::string> bytes = gfx::ResourceBundle::Lookup(std::string(kRoot) + std::string(name));
    if (!bytes) return std::nullopt;
    return files_.emplace(std::string(name), std::move(*bytes)).first->second;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::string, std::less<>> files_;
};

bool IsPlainName(std::string_view name) {
  return !name.empty() && name.front() != '/' && name.find("..") == std::string_view::npos &&
         name.find('\\') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

std::optional<BuiltInPage> FindBuiltInPage(std::string_view name) {
  if (!IsPlainName(name)) return std::nullopt;
  static Bundle bundle;
  const std::optional<std::string_view> bytes = bundle.Find(name);
  if (!bytes) return std::nullopt;
  return BuiltInPage{*bytes, MimeTypeOf(name)};
}

}  // namespace quillo::resources
