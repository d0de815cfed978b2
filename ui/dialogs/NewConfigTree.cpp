#include "ui/dialogs/NewConfigTree.h"

namespace quillo::ui {
namespace {
constexpr int kGroupLeft = 8, kGroupWidth = 114, kGroupHeight = 30;
constexpr int kPageLeft = 7, kPageWidth = 116, kPageHeight = 22;

NewConfigTree::Row Group(int id, int y) {
  return {id, true, gfx::Rect::FromXYWH(kGroupLeft, y, kGroupWidth, kGroupHeight)};
}
NewConfigTree::Row Page(int id, int y) {
  return {id, false, gfx::Rect::FromXYWH(kPageLeft, y, kPageWidth, kPageHeight)};
}
}  // namespace

const std::vector<int>& NewConfigTree::Ids() {
  static const std::vector<int> kIds = {kGeneralGroup, kLyricGroup,      kPersonalGroup,
                                        kGeneralPage,  kDownloadPage,    kCachePage,
                                        kLyricBarPage, kLyricWindowPage, kMessengerPage};
  return kIds;
}

bool NewConfigTree::IsGroup(int id) {
  return id == kGeneralGroup || id == kLyricGroup || id == kPersonalGroup;
}

bool NewConfigTree::IsPage(int id) {
  return id >= kGeneralPage && id <= kMessengerPage && !IsGroup(id);
}

int NewConfigTree::PageFor(int requested) {
  if (IsPage(requested)) return requested;
  if (IsGroup(requested)) return FirstPageOf(requested);
  return kGeneralPage;
}

int NewConfigTree::GroupOf(int page) {
  if (page >= kGeneralPage && page <= kCachePage) return kGeneralGroup;
  if (page == kLyricBarPage || page == kLyricWindowPage) return kLyricGroup;
  return kPersonalGroup;
}

int NewConfigTree::FirstPageOf(int group) {
  switch (group) {
    case kLyricGroup:
      return kLyricBarPage;
    case kPersonalGroup:
      return kMessengerPage;
    default:
      return kGeneralPage;
  }
}

std::string_view NewConfigTree::Text(int id) {
  switch (id) {
    case kGeneralGroup:
      return "基本设置";
    case kGeneralPage:
      return "常规设置";
    case kDownloadPage:
      return "下载设置";
    case kCachePage:
      return "试听设置";
    case kLyricGroup:
      return "歌词设置";
    case kLyricBarPage:
      return "桌面歌词";
    case kLyricWindowPage:
      return "歌词面板";
    case kPersonalGroup:
      return "个性设置";
    case kMessengerPage:
      return "MSN关联";
    default:
      return "";
  }
}

std::string_view NewConfigTree::Title(int page) {
  switch (page) {
    case kGeneralPage:
      return "基本设置—常规设置";
    case kDownloadPage:
      return "基本设置—下载设置";
    case kCachePage:
      return "基本设置—试听设置";
    case kLyricBarPage:
      return "歌词设置—桌面歌词";
    case kMessengerPage:
      return "个性设置—MSN关联";
    default:
      return "";
  }
}

std::vector<NewConfigTree::Row> NewConfigTree::Layout(int open_group) {
  switch (open_group) {
    case kLyricGroup:
      return {Group(kGeneralGroup, 29), Group(kLyricGroup, 60), Page(kLyricBarPage, 92),
              Page(kLyricWindowPage, 116), Group(kPersonalGroup, 378)};
    case kPersonalGroup:
      return {Group(kGeneralGroup, 29), Group(kLyricGroup, 60), Group(kPersonalGroup, 91),
              Page(kMessengerPage, 123)};
    default:
      return {Group(kGeneralGroup, 29), Page(kGeneralPage, 60),   Page(kDownloadPage, 84),
              Page(kCachePage, 108),    Group(kLyricGroup, 347), Group(kPersonalGroup, 378)};
  }
}

}  // namespace quillo::ui
