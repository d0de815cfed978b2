#include "store/ConfigKeys.h"

#include <array>

#include "platform/text/TextUtil.h"

namespace quillo::store {
namespace {

constexpr std::array kTable = {
    // Program keys.
    ConfigKeyInfo{"sorvel.autorun", "", "set to \"true\" and autorun registered at start-up",
                  "start with the system: \"true\" or \"false\""},
    ConfigKeyInfo{"sorvel.auto_update", "true", "read as \"true\"",
                  "kept by the settings dialog; the version check runs regardless"},
    ConfigKeyInfo{"sorvel.currentuser", "", "nobody logged in", "current user id; removed at logout"},
    ConfigKeyInfo{"sorvel.contextid", "", "-", "kept for hosted pages; removed at logout"},
    ConfigKeyInfo{"sorvel.clientid", "", "generated", "installation id (32 hexadecimal digits)"},
    ConfigKeyInfo{"sorvel.client.mode", "normal", "normal window", "main window mode: normal, mini"},
    ConfigKeyInfo{"sorvel.minimal.type", "ask", "ask",
                  "closing the main window: ask, min (to the tray), close"},
    ConfigKeyInfo{"sorvel.music.sendtomsn", "true", "sending on", "publish the playing song"},
    ConfigKeyInfo{"sorvel.music.sendtomsn.type", "lyric", "the current lyric line is sent",
                  "what is published: name or lyric"},
    ConfigKeyInfo{"sorvel.music.onerrorresumenext", "", "ask the user",
                  "on a playback error go to the next song without asking"},
    ConfigKeyInfo{"sorvel.music.max_download_thread", "2", "2", "parallel downloads"},
    ConfigKeyInfo{"sorvel.cache.size", "100", "100",
                  "cached files kept; below 1 or above 200 counts as 100"},
    ConfigKeyInfo{"sorvel.debug", "", "off", "\"debug\" offers lyric editing in the lyric window"},
    ConfigKeyInfo{"sorvel.path.*", "", "data folder + name + '/'", "named folders"},
    ConfigKeyInfo{"sorvel.eq.type", "0", "0", "equaliser preset"},
    ConfigKeyInfo{"sorvel.eq.value", "", "empty", "equaliser bands, each \"%.2f,\""},
    ConfigKeyInfo{"sorvel.service.base_url", "", "the embedded service is started",
                  "service base URL (http, '/' appended when missing)"},
    ConfigKeyInfo{"sorvel.service.upload_host", "", "the base URL's host and port",
                  "upload host: host[:port]"},
    ConfigKeyInfo{"sorvel.service.web_site", "", "the base URL",
                  "web site whose pages open in the browser"},
    // Module keys.
    ConfigKeyInfo{"module.music.play_mode", "all_repeat", "all_repeat",
                  "all_repeat, all_no_repeat, single_repeat, single_no_repeat, random"},
    ConfigKeyInfo{"module.music.currentplaylist", "", "the default list", "current list id"},
    ConfigKeyInfo{"module.music.currentplay", "", "empty", "current song id"},
    ConfigKeyInfo{"module.music.mute", "false", "not muted", "mute"},
    ConfigKeyInfo{"module.music.volume", "100", "the player writes 100; the volume control starts at 80",
                  "volume 0 to 100"},
    ConfigKeyInfo{"module.lyric.isopen", "true", "open", "lyrics shown"},
    ConfigKeyInfo{"module.lyric.mode", "bar", "the desktop lyric bar", "dialog or bar"},
    ConfigKeyInfo{"module.lyricdlg.ontop", "false", "not on top", "lyric window stays on top"},
    ConfigKeyInfo{"module.device.is_minimized", "false", "not minimised", "phone panel minimised"},
    ConfigKeyInfo{"module.device.card_folder", "", "no configured phone",
                  "a folder shown as a connected phone (its memory card)"},
    ConfigKeyInfo{"module.device.phone_folder", "", "one drive",
                  "the configured phone's second drive (phone memory)"},
    ConfigKeyInfo{"module.ext.isopen", "true", "open", "side panel of the main window open"},
    // Window and theme keys.
    ConfigKeyInfo{"window.*.width", "-1", "no saved position", "saved window width"},
    ConfigKeyInfo{"window.*.height", "-1", "no saved position", "saved window height"},
    ConfigKeyInfo{"window.*.pos.x", "-1", "no saved position", "saved window left edge"},
    ConfigKeyInfo{"window.*.pos.y", "-1", "no saved position", "saved window top edge"},
    ConfigKeyInfo{"window.lyricbar.fontsize", "40", "40", "desktop lyric font size"},
    ConfigKeyInfo{"window.lyricbar.color", "0", "0", "desktop lyric colour scheme"},
    ConfigKeyInfo{"window.lyricbar.engfont", "Verdana", "Verdana", "font for Latin text"},
    ConfigKeyInfo{"window.lyricbar.chnfont", "黑体", "黑体", "font for Chinese text"},
    ConfigKeyInfo{"window.lyricbar.text_align", "middle", "centred", "left or middle"},
    ConfigKeyInfo{"window.lyricbar.karamode", "true", "on", "karaoke colouring"},
    ConfigKeyInfo{"window.lyricdlg.bcolor", "#1a1a1a", "#1a1a1a", "lyric window background"},
    ConfigKeyInfo{"window.lyricdlg.fcolor", "#6bc9ff", "#6bc9ff", "lyric window text colour"},
    ConfigKeyInfo{"window.lyricdlg.ccolor", "#ff9900", "#ff9900", "colour of the current line"},
    ConfigKeyInfo{"window.lyricdlg.font", "宋体", "宋体", "lyric window font"},
    ConfigKeyInfo{"window.lyricdlg.fontsize_pt", "9", "9", "lyric window font size in points"},
    ConfigKeyInfo{"theme.style", "0", "0", "skin 0 to 8 (resource 194 + value)"},
    ConfigKeyInfo{"theme.color.h", "0", "0", "theme colour hue"},
    ConfigKeyInfo{"theme.color.s", "0", "0", "theme colour saturation"},
    ConfigKeyInfo{"theme.color.l", "0", "0", "theme colour lightness"},
};

// '*' stands for one or more characters.
bool Matches(std::string_view pattern, std::string_view key) {
  std::size_t star = pattern.find('*');
  if (star == std::string_view::npos) return pattern == key;
  std::string_view head = pattern.substr(0, star);
  std::string_view tail = pattern.substr(star + 1);
  return key.size() > head.size() + tail.size() && text::StartsWith(key, head) &&
         text::EndsWith(key, tail);
}

}  // namespace

std::span<const ConfigKeyInfo> ConfigKeyTable() { return kTable; }

const ConfigKeyInfo* FindConfigKey(std::string_view key) {
  for (const ConfigKeyInfo& info : kTable) {
    if (info.key.find('*') == std::string_view::npos && info.key == key) return &info;
  }
  for (const ConfigKeyInfo& info : kTable) {
    if (Matches(info.key, key)) return &info;
  }
  return nullptr;
}

}  // namespace quillo::store
