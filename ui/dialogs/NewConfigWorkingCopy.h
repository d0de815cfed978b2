#pragma once
// The settings dialog's working copy: every key it edits, as text, loaded once when the dialog
// is made and changed by its controls. Nothing reaches the store until NewConfigApply writes it.
//
// Counts are kept valid whatever is typed or stored: parallel downloads 1..20, cached songs
// 1..200. Colour texts are written with two hexadecimal digits per component ("#05ffff"); both
// that form and the space-padded one older versions wrote ("# 5ffff") read back the same.
//
// A plain value; window thread.
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Color.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::ui {

class NewConfigWorkingCopy {
 public:
  // A working entry only: the music folder's path, written through RelocateFolder.
  static constexpr std::string_view kMusicFolder = "sorvel.music.music_folder";
  static constexpr int kMinDownloads = 1;
  static constexpr int kMaxDownloads = 20;
  static constexpr int kDownloadStep = 2;
  static constexpr int kMinCache = 1;
  static constexpr int kMaxCache = 200;
  static constexpr int kCacheStep = 20;
  // What the lyric window page's "恢复默认" sets (one digit differs from the load default).
  static constexpr std::string_view kRestoredTextColor = "#6dc9ff";

  // Loads every key with its default; "sorvel.autorun" comes from whether the autostart entry
  // is registered, not from the store.
  NewConfigWorkingCopy(const store::DocumentStore& store, bool autorun_registered);

  // "" for a key the copy does not hold.
  const std::string& Get(std::string_view key) const;
  // Ignored for a key the copy does not hold.
  void Set(std::string_view key, std::string value);
  bool IsTrue(std::string_view key) const { return Get(key) == "true"; }
  // "true" becomes "false", anything else "true".
  void Toggle(std::string_view key);

  int DownloadCount() const;
  void SetDownloadCount(int count);  // clamped to 1..20
  void StepDownloads(bool up);       // ±2, clamped
  int CacheCount() const;
  void SetCacheCount(int count);  // clamped to 1..200
  void StepCache(bool up);        // ±20, clamped

  gfx::Color ColorOf(std::string_view key) const;
  void SetColor(std::string_view key, gfx::Color color);
  static std::string ColorText(gfx::Color color);

  // The lyric bar page's and the lyric window page's "恢复默认".
  void RestoreLyricBarDefaults();
  void RestoreLyricWindowDefaults();

  // The stored keys (the music folder excluded), in the order Apply writes them.
  static const std::vector<std::string_view>& StoredKeys();
  const std::map<std::string, std::string, std::less<>>& values() const { return values_; }

 private:
  static int ReadCount(const std::string& text, int fallback, int min, int max);
  std::map<std::string, std::string, std::less<>> values_;
};

}  // namespace quillo::ui
