// Configuration entries, named folders, the client id and saved window positions.
#include <algorithm>

#include "platform/crypto/Crypto.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"

namespace quillo::store {
namespace {

bool IsClientId(std::string_view text) {
  if (text.size() != 32) return false;
  return std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

}  // namespace

// Entries live under "configs" as `config` elements found by their `name`. The key is matched
// as plain text rather than through a path, so keys written by hosted pages may hold '#' or ':'.
bool DocumentStore::SetConfigText(std::string_view key, std::string_view value) {
  LockGuard lock = Lock();
  TiXmlElement* configs = Resolve("configs#", true);
  TiXmlElement* config = FindChild(configs, "config", "name", key, true);
  if (config == nullptr) return false;
  SetText(config, "value", value);
  auto it = config_cache_.find(key);
  if (it == config_cache_.end()) {
    config_cache_.emplace(std::string(key), std::string(value));
  } else {
    it->second = std::string(value);
  }
  return true;
}

bool DocumentStore::SetConfigInt(std::string_view key, int value) {
  return SetConfigText(key, std::to_string(value));
}

bool DocumentStore::RemoveConfig(std::string_view key) {
  LockGuard lock = Lock();
  TiXmlElement* config = FindChild(Resolve("configs#", false), "config", "name", key, false);
  if (config == nullptr) return false;
  RemoveElement(config);
  auto it = config_cache_.find(key);
  if (it != config_cache_.end()) config_cache_.erase(it);
  // A second element of the same key (written by hand) would otherwise come back at the next
  // start; the cache now says absent, so the document must agree.
  while (TiXmlElement* twin = FindChild(Resolve("configs#", false), "config", "name", key, false)) {
    RemoveElement(twin);
  }
  return true;
}

std::string DocumentStore::GetConfigText(std::string_view key, std::string_view fallback) const {
  LockGuard lock = Lock();
  auto it = config_cache_.find(key);
  return it == config_cache_.end() ? std::string(fallback) : it->second;
}

int DocumentStore::GetConfigInt(std::string_view key, int fallback) const {
  LockGuard lock = Lock();
  auto it = config_cache_.find(key);
  return it == config_cache_.end() ? fallback : text::LeadingInt(it->second);
}

bool DocumentStore::ConfigEquals(std::string_view key, std::string_view value) const {
  LockGuard lock = Lock();
  auto it = config_cache_.find(key);
  return it != config_cache_.end() && it->second == value;
}

bool DocumentStore::HasConfig(std::string_view key) const {
  LockGuard lock = Lock();
  return config_cache_.find(key) != config_cache_.end();
}

std::map<std::string, std::string> DocumentStore::AllConfig() const {
  LockGuard lock = Lock();
  return {config_cache_.begin(), config_cache_.end()};
}

std::string DocumentStore::FolderPath(std::string_view name) const {
  std::string value = text::Trim(GetConfigText("sorvel.path." + std::string(name)));
  if (value.empty()) value = data_folder_ + std::string(name) + "/";
  return fs::WithTrailingSlash(value);
}

std::string DocumentStore::NewIdText() {
  std::optional<std::array<std::uint8_t, 16>> guid = crypto::NewGuid();
  if (!guid) return {};
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint8_t byte : *guid) {
    text.push_back(kHex[byte >> 4]);
    text.push_back(kHex[byte & 0xF]);
  }
  return text;
}

std::string DocumentStore::ClientId() {
  LockGuard lock = Lock();
  std::string value = GetConfigText("sorvel.clientid");
  if (!IsClientId(value)) {
    std::string fresh = NewIdText();
    if (!fresh.empty()) {
      value = fresh;
      SetConfigText("sorvel.clientid", value);
    }
  }
  return value;
}

std::optional<Rect> DocumentStore::RestoreWindowRect(std::string_view window_name,
                                                     const WindowGeometry& desktop, int min_width,
                                                     int min_height) const {
  const std::string prefix = "window." + std::string(window_name);
  int width = text::LeadingInt(GetConfigText(prefix + ".width", "-1"));
  int height = text::LeadingInt(GetConfigText(prefix + ".height", "-1"));
  int left = text::LeadingInt(GetConfigText(prefix + ".pos.x", "-1"));
  int top = text::LeadingInt(GetConfigText(prefix + ".pos.y", "-1"));
  if (width < 1 || height < 1) return std::nullopt;
  width = std::min(std::max(width, min_width), desktop.DesktopWidth());
  height = std::min(std::max(height, min_height), desktop.DesktopHeight());
  if (left > desktop.DesktopWidth() - width) left = desktop.DesktopWidth() - width;
  left = std::max(left, 0);
  if (top > desktop.DesktopHeight() - height) top = desktop.DesktopHeight() - height;
  top = std::max(top, 0);
  return Rect{left, top, left + width, top + height};
}

void DocumentStore::SaveWindowRect(std::string_view window_name, const Rect& window_rect) {
  LockGuard lock = Lock();
  const std::string prefix = "window." + std::string(window_name);
  SetConfigInt(prefix + ".width", window_rect.width());
  SetConfigInt(prefix + ".height", window_rect.height());
  SetConfigInt(prefix + ".pos.x", window_rect.left);
  SetConfigInt(prefix + ".pos.y", window_rect.top);
}

}  // namespace quillo::store
