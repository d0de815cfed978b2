#pragma once
// The context menus of the two lists as plain item trees (captions, ids, checks, greyed
// entries); the views pop them up as GtkMenu popups through their window. Display-free.
//
// Pure builders; any thread.
#include <optional>
#include <string>
#include <vector>

#include "platform/window/MenuItem.h"
#include "service/sync/PlaylistSync.h"

namespace quillo::ui::lists {

// Which popup of the song list menu applies.
enum class SongMenuKind {
  kLibrarySong,    // "[全部]"
  kTemporarySong,  // "临时列表歌曲"
  kLocalSong,      // "本地曲库"
  kListSong,       // "播放列表歌曲"
  kLibraryEmpty,   // "[全部]空白"
  kLocalEmpty,     // "本地曲库空白"
  kListEmpty,      // "歌曲列表空白"
};

// The popup for a right click in mode 0 on a song (on_song) or on empty space in the list
// shown; none (empty space of a temporary list).
std::optional<SongMenuKind> SongMenuKindFor(const std::string& shown_list_id, bool on_song);

struct SongMenuContext {
  SongMenuKind kind = SongMenuKind::kListSong;
  // The song under the pointer has a local id: song and artist information are greyed.
  bool local_song = false;
  // The entries of "添加到播放列表" after its fixed "新建播放列表" and a separator.
  std::vector<service::AddToListEntry> add_to_list;
  // The shown list's "sort_column" ("name", "artist_name" or empty): the sort entry checked.
  std::string sort_column;
  // Whether the shown list can be sorted.
  bool sortable = true;
  // The list shown is a phone's: its songs can be copied to the computer.
  bool phone_list = false;
};

std::vector<window::MenuItem> BuildSongMenu(const SongMenuContext& context);

// The "添加到播放列表" menu alone (the header button of the selection).
std::vector<window::MenuItem> BuildAddToListMenu(
    const std::vector<service::AddToListEntry>& entries);

// "排列歌曲": by song name, by artist, the sort column checked.
std::vector<window::MenuItem> BuildSortMenu(const std::string& sort_column);

// "全部歌曲列表": the library row's grouping (33082–33084) with the one in use checked.
std::vector<window::MenuItem> BuildGroupingMenu(int checked_command);
// "随便听听" and "排行榜": one entry per group / ranking list, the chosen one checked.
std::vector<window::MenuItem> BuildRandomMenu(int checked_command);
std::vector<window::MenuItem> BuildRankingMenu(int checked_command);

// The playlist panel's menu on a row: new playlist always; rename and delete for user playlists
// and phone lists.
std::vector<window::MenuItem> BuildPanelMenu(const std::string& row_id);

// Finds an item by id anywhere in the tree (tests, checks).
const window::MenuItem* FindMenuItem(const std::vector<window::MenuItem>& items, int id);

}  // namespace quillo::ui::lists
