#pragma once
// The settings dialog's tree: an accordion of three groups ("基本设置" 9, "歌词设置" 13,
// "个性设置" 16), of which only the open group shows its pages (10–12, 14–15, 17). The rows are
// layer controls of the dialog whose ids are the group and page ids; this class knows their
// texts, titles and where each row lies for each open group. Pure functions; any thread.
#include <string_view>
#include <vector>

#include "platform/gfx/Geometry.h"

namespace quillo::ui {

class NewConfigTree {
 public:
  static constexpr int kGeneralGroup = 9;
  static constexpr int kLyricGroup = 13;
  static constexpr int kPersonalGroup = 16;
  static constexpr int kGeneralPage = 10;
  static constexpr int kDownloadPage = 11;
  static constexpr int kCachePage = 12;
  static constexpr int kLyricBarPage = 14;
  static constexpr int kLyricWindowPage = 15;
  static constexpr int kMessengerPage = 17;

  struct Row {
    int id = 0;
    bool group = false;
    gfx::Rect bounds;
  };

  // Every group and page id, groups first.
  static const std::vector<int>& Ids();
  static bool IsGroup(int id);
  static bool IsPage(int id);
  // The page a caller's request opens: a page as it is, a group's first page, anything else 10.
  static int PageFor(int requested);
  static int GroupOf(int page);
  static int FirstPageOf(int group);
  // The row's text in the tree.
  static std::string_view Text(int id);
  // The title drawn at the top of a page ("" for the lyric window page).
  static std::string_view Title(int page);
  // The rows shown while `open_group` is open, top to bottom.
  static std::vector<Row> Layout(int open_group);
};

}  // namespace quillo::ui
