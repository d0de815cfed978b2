#include "ui/lists/ListMenus.h"

#include "playback/MenuCommands.h"
#include "service/sync/ListKinds.h"
#include "ui/lists/ListCatalog.h"

namespace quillo::ui::lists {

namespace menu_commands = playback::menu_commands;
namespace {

using window::MenuItem;

MenuItem AddToListSubmenu(const std::vector<service::AddToListEntry>& entries) {
  return MenuItem::Submenu("添加到播放列表", BuildAddToListMenu(entries));
}

MenuItem SortSubmenu(const SongMenuContext& context) {
  MenuItem sort = MenuItem::Submenu("排列歌曲", BuildSortMenu(context.sort_column));
  if (!context.sortable) sort.enabled = false;
  return sort;
}

}  // namespace

std::optional<SongMenuKind> SongMenuKindFor(const std::string& shown_list_id, bool on_song) {
  if (shown_list_id == kLibraryListId)
    return on_song ? SongMenuKind::kLibrarySong : SongMenuKind::kLibraryEmpty;
  if (service::IsTemporaryListId(shown_list_id))
    return on_song ? std::optional(SongMenuKind::kTemporarySong) : std::nullopt;
  if (shown_list_id == kLocalListId)
    return on_song ? SongMenuKind::kLocalSong : SongMenuKind::kLocalEmpty;
  return on_song ? SongMenuKind::kListSong : SongMenuKind::kListEmpty;
}

std::vector<MenuItem> BuildAddToListMenu(const std::vector<service::AddToListEntry>& entries) {
  std::vector<MenuItem> items;
  items.push_back(
      MenuItem::Command("新建播放列表", service::PlaylistSync::kNewFromSelectionCommand));
  if (!entries.empty()) items.push_back(MenuItem::Separator());
  for (const service::AddToListEntry& entry : entries)
    items.push_back(MenuItem::Command(entry.name, entry.command_id));
  return items;
}

std::vector<MenuItem> BuildSortMenu(const std::string& sort_column) {
  return {MenuItem::Command("按歌曲名", menu_commands::kSortByName, true, sort_column == "name"),
          MenuItem::Command("按歌手名", menu_commands::kSortByArtist, true,
                            sort_column == "artist_name")};
}

std::vector<MenuItem> BuildSongMenu(const SongMenuContext& context) {
  using service::PlaylistSync;
  const bool info = !context.local_song;
  std::vector<MenuItem> items;
  switch (context.kind) {
    case SongMenuKind::kLibrarySong:
      items = {MenuItem::Command("播放", menu_commands::kPlaySelected),
               MenuItem::Separator(),
               AddToListSubmenu(context.add_to_list),
               MenuItem::Command("删除歌曲", PlaylistSync::kDeleteSongsCommand),
               MenuItem::Separator(),
               MenuItem::Command("查看歌曲信息", kSongInfoCommand, info),
               MenuItem::Command("查看歌手信息", kArtistInfoCommand, info),
               MenuItem::Separator(),
               SortSubmenu(context)};
      break;
    case SongMenuKind::kTemporarySong:
      items = {MenuItem::Command("播放", menu_commands::kPlaySelected),
               MenuItem::Separator(),
               AddToListSubmenu(context.add_to_list),
               MenuItem::Command("添加到曲库", PlaylistSync::kAddToLibraryCommand),
               MenuItem::Separator(),
               MenuItem::Command("查看歌曲信息", kSongInfoCommand, info),
               MenuItem::Command("查看歌手信息", kArtistInfoCommand, info)};
      break;
    case SongMenuKind::kLocalSong:
      items = {MenuItem::Command("播放", menu_commands::kPlaySelected),
               MenuItem::Separator(),
               AddToListSubmenu(context.add_to_list),
               MenuItem::Command("删除歌曲", PlaylistSync::kDeleteSongsCommand),
               MenuItem::Separator(),
               SortSubmenu(context)};
      break;
    case SongMenuKind::kListSong:
      items = {MenuItem::Command("播放", menu_commands::kPlaySelected),
               MenuItem::Separator(),
               AddToListSubmenu(context.add_to_list),
               MenuItem::Command("从列表中删除", PlaylistSync::kRemoveFromListCommand),
               MenuItem::Command("删除歌曲", PlaylistSync::kDeleteSongsCommand),
               MenuItem::Separator(),
               MenuItem::Command("查看歌曲信息", kSongInfoCommand, info),
               MenuItem::Command("查看歌手信息", kArtistInfoCommand, info),
               MenuItem::Separator(),
               SortSubmenu(context)};
      if (context.phone_list) {
        // After "删除歌曲": the phone's songs can be brought into the library.
        items.insert(items.begin() + 5,
                     MenuItem::Command("复制到电脑", PlaylistSync::kCopyToComputerCommand));
      }
      break;
    case SongMenuKind::kLibraryEmpty:
      items = {MenuItem::Submenu("全部歌曲列表", BuildGroupingMenu(kGroupAllCommand)),
               MenuItem::Separator(), SortSubmenu(context)};
      break;
    case SongMenuKind::kLocalEmpty:
      items = {SortSubmenu(context)};
      break;
    case SongMenuKind::kListEmpty:
      items = {SortSubmenu(context), MenuItem::Separator(),
               MenuItem::Command("清空列表", PlaylistSync::kClearListCommand)};
      break;
  }
  return items;
}

std::vector<MenuItem> BuildGroupingMenu(int checked_command) {
  return {
      MenuItem::Command("全部歌曲", kGroupAllCommand, true, checked_command == kGroupAllCommand),
      MenuItem::Command("歌手", kGroupArtistsCommand, true,
                        checked_command == kGroupArtistsCommand),
      MenuItem::Command("专辑", kGroupAlbumsCommand, true, checked_command == kGroupAlbumsCommand)};
}

std::vector<MenuItem> BuildRandomMenu(int checked_command) {
  std::vector<MenuItem> items;
  for (const ServiceListEntry& e : RandomGroups()) {
    std::string caption = e.service_id.empty() ? "[全部]" : std::string(e.name);
    items.push_back(MenuItem::Command(caption, e.menu_id, true, e.menu_id == checked_command));
  }
  return items;
}

std::vector<MenuItem> BuildRankingMenu(int checked_command) {
  std::vector<MenuItem> items;
  for (const ServiceListEntry& e : RankingLists())
    items.push_back(
        MenuItem::Command(std::string(e.name), e.menu_id, true, e.menu_id == checked_command));
  return items;
}

std::vector<MenuItem> BuildPanelMenu(const std::string& row_id) {
  std::vector<MenuItem> items{
      MenuItem::Command("新建播放列表", service::PlaylistSync::kNewPlaylistCommand)};
  bool own_list = service::IsUserPlaylistId(row_id) || service::IsDeviceListId(row_id);
  if (own_list) {
    items.push_back(MenuItem::Separator());
    items.push_back(MenuItem::Command("修改名称", service::PlaylistSync::kRenameCommand));
    items.push_back(
        MenuItem::Command("删除播放列表", service::PlaylistSync::kDeletePlaylistCommand));
  }
  return items;
}

const MenuItem* FindMenuItem(const std::vector<MenuItem>& items, int id) {
  for (const MenuItem& item : items) {
    if (!item.separator && item.submenu.empty() && item.id == id) return &item;
    if (const MenuItem* found = FindMenuItem(item.submenu, id)) return found;
  }
  return nullptr;
}

}  // namespace quillo::ui::lists
