// The lyric window's context menu "歌词": re-timing, copying and replacing the lyric.
#include <optional>

#include "lyrics/LyricAnalyzer.h"
#include "platform/text/TextUtil.h"
#include "platform/window/FileChooser.h"
#include "platform/window/WindowSystem.h"
#include "playback/Player.h"
#include "store/DocumentStore.h"
#include "store/Playlists.h"
#include "store/StoredPath.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/lyricviews/LyricDlg.h"
#include "ui/lyricviews/LyricViewHost.h"

namespace quillo::ui {
std::string LyricDlg::StoredLyricPath(const std::string& path, const std::string& lyric_folder) {
  if (!lyric_folder.empty() && text::StartsWith(path, lyric_folder)) {
    std::string rest = path.substr(lyric_folder.size());
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    if (store::IsContainedRelativeName(rest)) return rest;
  }
  return std::string(store::kFileUrlPrefix) + path;
}

std::vector<window::MenuItem> LyricDlg::BuildMenu() const {
  std::vector<window::MenuItem> menu;
  if (parts_.store.ConfigEquals("sorvel.debug", "debug")) {
    menu.push_back(window::MenuItem::Command("后台编辑歌词", kAdminEdit));
    menu.push_back(window::MenuItem::Separator());
  }
  window::MenuItem adjust = window::MenuItem::Command("调整歌词", 0);
  adjust.submenu = {window::MenuItem::Command("全部调整...", kAdjustAll),
                    window::MenuItem::Command("本句提前0.5秒", kLineEarlier),
                    window::MenuItem::Command("本句延后0.5秒", kLineLater),
                    window::MenuItem::Command("其后提前0.5秒", kFollowingEarlier),
                    window::MenuItem::Command("其后延后0.5秒", kFollowingLater),
                    window::MenuItem::Command("全部提前0.5秒", kAllEarlier),
                    window::MenuItem::Command("全部延后0.5秒", kAllLater)};
  menu.push_back(std::move(adjust));
  const bool has_song = !parts_.player.GetMusicId().empty();
  menu.push_back(window::MenuItem::Command("复制歌词", kCopyLyric, has_song));
  menu.push_back(window::MenuItem::Command("关联歌词...", kAssociateLyric, has_song));
  menu.push_back(window::MenuItem::Command("上传歌曲或歌词...", kUpload, has_song));
  menu.push_back(window::MenuItem::Command("设置字体和颜色", kLookSettings));
  menu.push_back(window::MenuItem::Command("总在最前", kOnTopItem, true, on_top()));
  return menu;
}

void LyricDlg::OnMenuCommand(int command) {
  using Doc = lyrics::LyricDocument;
  switch (command) {
    case kAdjustAll:
      return AdjustAll();
    case kLineEarlier:
      return AdjustBy(-kHalfSecondMs, Doc::kShiftLine, true);
    case kLineLater:
      return AdjustBy(kHalfSecondMs, Doc::kShiftLine, true);
    case kFollowingEarlier:
      return AdjustBy(-kHalfSecondMs, Doc::kShiftFromLine, true);
    case kFollowingLater:
      return AdjustBy(kHalfSecondMs, Doc::kShiftFromLine, true);
    case kAllEarlier:
      return AdjustBy(-kHalfSecondMs, Doc::kShiftOffset, false);
    case kAllLater:
      return AdjustBy(kHalfSecondMs, Doc::kShiftOffset, false);
    case kCopyLyric:
      return CopyLyric();
    case kAssociateLyric:
      return AssociateLyric();
    case kLookSettings:
      return parts_.host.ShowSettingsPage(kSettingsPage);
    case kOnTopItem:
      return SetOnTop(!on_top());
    case kAdminEdit:
      return OpenAdminPage();
    case kUpload:
      return parts_.host.ShowUploadWindow(parts_.player.GetMusicId(), parts_.player.GetTitle());
    default:
      return;
  }
}

void LyricDlg::AdjustBy(int delta_ms, int kind, bool needs_line) {
  std::optional<std::size_t> line;
  if (needs_line) {
    const lyrics::LyricLine* found = parts_.analyzer.FindLine(parts_.player.GetPositionMs());
    if (!found) return;
    line = found->index;
  }
  parts_.analyzer.AdjustTiming(delta_ms, kind, line);
  // The next tick places the mark again.
  current_index_ = 0;
}

void LyricDlg::AdjustAll() {
  std::string answer;
  if (!PromptBox(kAdjustAllQuestion, answer, std::string("1000"), this)) return;
  const int value = text::LeadingInt(answer);
  if (value != 0) {
    parts_.analyzer.AdjustTiming(value, lyrics::LyricDocument::kShiftOffset, std::nullopt);
  }
}

void LyricDlg::CopyLyric() {
  const std::string text = parts_.analyzer.GetPlainText();
  window::WindowSystem* system = window::WindowSystem::Instance();
  // The clipboard takes UTF-8 text here; every character of the lyric survives the copy.
  if (!text.empty() && system) system->SetClipboardText(text);
}

void LyricDlg::AssociateLyric() {
  if (!parts_.chooser) return;
  const std::vector<std::string> chosen = parts_.chooser->ChooseFiles(
      "关联歌词", "歌词文件 (*.lrc;*.mrc)", {"*.lrc", "*.mrc"}, presenter());
  if (chosen.empty()) return;
  const std::string& path = chosen.front();
  parts_.playlists.SetCurrentItemAttribute("lyric_file",
                                           StoredLyricPath(path, parts_.store.FolderPath("lyric")));
  const std::string music_id = parts_.player.GetMusicId();
  if (music_id.empty() || parts_.store.CurrentItem() != music_id) return;
  parts_.analyzer.Reset();
  parts_.analyzer.LoadLyric(path, music_id);
  // The next tick lays the lines out again.
  shown_music_id_.clear();
  layout_.Clear();
}

void LyricDlg::OpenAdminPage() {
  const std::string music_id = parts_.player.GetMusicId();
  const std::string base = parts_.host.ServiceBaseUrl();
  if (music_id.empty() || base.empty()) return;
  parts_.host.OpenInBrowser(base + "admin/music.php?action=index&music_id=" + music_id);
}

}  // namespace quillo::ui
