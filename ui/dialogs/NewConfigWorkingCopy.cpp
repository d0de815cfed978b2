#include "ui/dialogs/NewConfigWorkingCopy.h"

#include <algorithm>
#include <cstdio>

#include "platform/text/TextUtil.h"
#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "ui/lyricviews/LyricDlgLook.h"

namespace quillo::ui {
namespace keys = store::keys;
namespace {

struct Default {
  std::string_view key;
  std::string_view value;
};
// Every stored key with the value the dialog assumes when the store has none, in Apply's order.
constexpr Default kDefaults[] = {
    {keys::kAutorun, "false"},
    {keys::kMinimalType, "ask"},
    {keys::kAutoUpdate, "true"},
    {keys::kSendToMsn, "true"},
    {keys::kSendToMsnType, "name"},
    {keys::kOnErrorResumeNext, "true"},
    {keys::kMaxDownloadThread, "2"},
    {keys::kLyricBarEngFont, "Verdana"},
    {keys::kLyricBarChnFont, "黑体"},
    {keys::kLyricBarColor, "0"},
    {keys::kLyricBarFontSize, "40"},
    {keys::kLyricBarKaraMode, "true"},
    {keys::kLyricBarTextAlign, "middle"},
    {keys::kLyricDlgFColor, "#6bc9ff"},
    {keys::kLyricDlgBColor, "#1a1a1a"},
    {keys::kLyricDlgCColor, "#ff9900"},
    {keys::kLyricDlgFont, "宋体"},
    {keys::kLyricDlgFontSizePt, "9"},
    {keys::kCacheSize, "100"},
};

}  // namespace

NewConfigWorkingCopy::NewConfigWorkingCopy(const store::DocumentStore& store,
                                           bool autorun_registered) {
  for (const Default& d : kDefaults) values_[std::string(d.key)] = store.GetConfigText(d.key, d.value);
  values_[std::string(keys::kAutorun)] = autorun_registered ? "true" : "false";
  values_[std::string(kMusicFolder)] = store.FolderPath("music");
}

const std::string& NewConfigWorkingCopy::Get(std::string_view key) const {
  static const std::string kNone;
  auto found = values_.find(key);
  return found == values_.end() ? kNone : found->second;
}

void NewConfigWorkingCopy::Set(std::string_view key, std::string value) {
  auto found = values_.find(key);
  if (found != values_.end()) found->second = std::move(value);
}

void NewConfigWorkingCopy::Toggle(std::string_view key) {
  Set(key, IsTrue(key) ? "false" : "true");
}

int NewConfigWorkingCopy::ReadCount(const std::string& text, int fallback, int min, int max) {
  return std::clamp(text::LeadingNumber(text).value_or(fallback), min, max);
}

int NewConfigWorkingCopy::DownloadCount() const {
  return ReadCount(Get(keys::kMaxDownloadThread), 2, kMinDownloads, kMaxDownloads);
}

void NewConfigWorkingCopy::SetDownloadCount(int count) {
  Set(keys::kMaxDownloadThread, std::to_string(std::clamp(count, kMinDownloads, kMaxDownloads)));
}

void NewConfigWorkingCopy::StepDownloads(bool up) {
  SetDownloadCount(DownloadCount() + (up ? kDownloadStep : -kDownloadStep));
}

int NewConfigWorkingCopy::CacheCount() const {
  return ReadCount(Get(keys::kCacheSize), 100, kMinCache, kMaxCache);
}

void NewConfigWorkingCopy::SetCacheCount(int count) {
  Set(keys::kCacheSize, std::to_string(std::clamp(count, kMinCache, kMaxCache)));
}

void NewConfigWorkingCopy::StepCache(bool up) {
  SetCacheCount(CacheCount() + (up ? kCacheStep : -kCacheStep));
}

gfx::Color NewConfigWorkingCopy::ColorOf(std::string_view key) const {
  return ParseLyricColor(Get(key), 255);
}

void NewConfigWorkingCopy::SetColor(std::string_view key, gfx::Color color) {
  Set(key, ColorText(color));
}

std::string NewConfigWorkingCopy::ColorText(gfx::Color color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", color.r, color.g, color.b);
  return text;
}

void NewConfigWorkingCopy::RestoreLyricBarDefaults() {
  Set(keys::kLyricBarEngFont, "Verdana");
  Set(keys::kLyricBarChnFont, "黑体");
  Set(keys::kLyricBarColor, "0");
  Set(keys::kLyricBarKaraMode, "true");
  Set(keys::kLyricBarFontSize, "40");
  Set(keys::kLyricBarTextAlign, "middle");
}

void NewConfigWorkingCopy::RestoreLyricWindowDefaults() {
  Set(keys::kLyricDlgFontSizePt, "9");
  Set(keys::kLyricDlgFont, "宋体");
  Set(keys::kLyricDlgFColor, std::string(kRestoredTextColor));
  Set(keys::kLyricDlgBColor, "#1a1a1a");
  Set(keys::kLyricDlgCColor, "#ff9900");
}

const std::vector<std::string_view>& NewConfigWorkingCopy::StoredKeys() {
  static const std::vector<std::string_view> kKeys = [] {
    std::vector<std::string_view> list;
    for (const Default& d : kDefaults) list.push_back(d.key);
    return list;
  }();
  return kKeys;
}

}  // namespace quillo::ui
