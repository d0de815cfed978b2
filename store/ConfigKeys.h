#pragma once
// Every configuration key the program itself reads or writes, with the value it uses when the
// key is absent. The store accepts any other key too (hosted pages keep their own).
#include <span>
#include <string_view>

namespace quillo::store {

struct ConfigKeyInfo {
  std::string_view key;
  // The value used when the key is absent; empty where absence has a meaning of its own
  // (described in `absent`).
  std::string_view fallback;
  std::string_view absent;
  std::string_view meaning;
};

// The table, grouped as program keys, module keys, window and theme keys.
std::span<const ConfigKeyInfo> ConfigKeyTable();

// The table entry of a key, or nullptr. Keys made of a prefix and a name ("sorvel.path.music",
// "window.mainwnd.width") are found by their pattern.
const ConfigKeyInfo* FindConfigKey(std::string_view key);

namespace keys {
inline constexpr std::string_view kAutorun = "sorvel.autorun";
inline constexpr std::string_view kAutoUpdate = "sorvel.auto_update";
inline constexpr std::string_view kCurrentUser = "sorvel.currentuser";
inline constexpr std::string_view kContextId = "sorvel.contextid";
inline constexpr std::string_view kClientId = "sorvel.clientid";
inline constexpr std::string_view kClientMode = "sorvel.client.mode";
inline constexpr std::string_view kMinimalType = "sorvel.minimal.type";
inline constexpr std::string_view kSendToMsn = "sorvel.music.sendtomsn";
inline constexpr std::string_view kSendToMsnType = "sorvel.music.sendtomsn.type";
inline constexpr std::string_view kOnErrorResumeNext = "sorvel.music.onerrorresumenext";
inline constexpr std::string_view kMaxDownloadThread = "sorvel.music.max_download_thread";
inline constexpr std::string_view kCacheSize = "sorvel.cache.size";
inline constexpr std::string_view kDebug = "sorvel.debug";
inline constexpr std::string_view kPathPrefix = "sorvel.path.";
inline constexpr std::string_view kEqType = "sorvel.eq.type";
inline constexpr std::string_view kEqValue = "sorvel.eq.value";
inline constexpr std::string_view kServiceBaseUrl = "sorvel.service.base_url";
inline constexpr std::string_view kServiceUploadHost = "sorvel.service.upload_host";
inline constexpr std::string_view kServiceWebSite = "sorvel.service.web_site";
inline constexpr std::string_view kPlayMode = "module.music.play_mode";
inline constexpr std::string_view kCurrentPlaylist = "module.music.currentplaylist";
inline constexpr std::string_view kCurrentPlay = "module.music.currentplay";
inline constexpr std::string_view kMute = "module.music.mute";
inline constexpr std::string_view kVolume = "module.music.volume";
inline constexpr std::string_view kLyricIsOpen = "module.lyric.isopen";
inline constexpr std::string_view kLyricMode = "module.lyric.mode";
inline constexpr std::string_view kLyricDlgOnTop = "module.lyricdlg.ontop";
inline constexpr std::string_view kDeviceIsMinimized = "module.device.is_minimized";
inline constexpr std::string_view kExtIsOpen = "module.ext.isopen";
inline constexpr std::string_view kLyricBarFontSize = "window.lyricbar.fontsize";
inline constexpr std::string_view kLyricBarColor = "window.lyricbar.color";
inline constexpr std::string_view kLyricBarEngFont = "window.lyricbar.engfont";
inline constexpr std::string_view kLyricBarChnFont = "window.lyricbar.chnfont";
inline constexpr std::string_view kLyricBarTextAlign = "window.lyricbar.text_align";
inline constexpr std::string_view kLyricBarKaraMode = "window.lyricbar.karamode";
inline constexpr std::string_view kLyricDlgBColor = "window.lyricdlg.bcolor";
inline constexpr std::string_view kLyricDlgFColor = "window.lyricdlg.fcolor";
inline constexpr std::string_view kLyricDlgCColor = "window.lyricdlg.ccolor";
inline constexpr std::string_view kLyricDlgFont = "window.lyricdlg.font";
inline constexpr std::string_view kLyricDlgFontSizePt = "window.lyricdlg.fontsize_pt";
inline constexpr std::string_view kThemeStyle = "theme.style";
inline constexpr std::string_view kThemeColorH = "theme.color.h";
inline constexpr std::string_view kThemeColorS = "theme.color.s";
inline constexpr std::string_view kThemeColorL = "theme.color.l";
}  // namespace keys

}  // namespace quillo::store
