#include "ui/lists/FileListView.h"

#include <cstdlib>

#include "platform/gfx/TextMeasure.h"
#include "playback/MenuCommands.h"
#include "playback/PlaySurface.h"
#include "playback/Player.h"
#include "service/sync/PhoneLists.h"
#include "service/sync/PlaylistSync.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"
#include "store/StoreRuntime.h"
#include "ui/lists/FilterEdit.h"
#include "ui/lists/ListCatalog.h"
#include "ui/lists/ListColors.h"
#include "ui/lists/ListMenus.h"
#include "ui/lists/ListsHost.h"
#include "ui/lists/PlaylistView.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui::lists {

namespace menu_commands = playback::menu_commands;
namespace {

constexpr unsigned kKeyEscape = 0xff1b;
constexpr unsigned kKeyReturn = 0xff0d;
constexpr unsigned kKeyA = 'a';
constexpr unsigned kKeyCapitalA = 'A';

const std::string& Attribute(const store::MusicRecord& record, const char* name) {
  static const std::string kEmpty;
  auto it = record.find(name);
  return it == record.end() ? kEmpty : it->second;
}

gfx::Font RowFont() {
  return gfx::Font::Points("宋体", 9);
}

}  // namespace

FileListView::FileListView(LayerWnd& owner, const gfx::Rect& rect, const ListViewDeps& deps)
    : LayerListViewM(owner, rect, kRowHeight, kScrollBarWidth), deps_(deps), model_(deps.store) {}

FileListView::~FileListView() {
  alive_.reset();
  // The box must not call into a list that is gone.
  SetFilterEdit(nullptr);
}

void FileListView::SetFilterEdit(FilterEdit* edit) {
  if (filter_edit_) filter_edit_->SetOnFocus(nullptr);
  filter_edit_ = edit;
  if (filter_edit_) filter_edit_->SetOnFocus([this] { PrepareFilter(); });
}

std::string FileListView::PlayingId() const {
  // Once the play queue has marked a song (or none), its word counts over the player's.
  if (marked_id_) return *marked_id_;
  return deps_.player ? deps_.player->GetMusicId() : std::string();
}

void FileListView::Redraw() {
  if (!owner().IsCreated()) return;
  Invalidate();
}

void FileListView::AfterRowsChanged(bool to_top) {
  if (to_top) SetScrollOffset(0);
  Relayout();
  LayerListViewM::SetSelection(model_.selection());
  Redraw();
  deps_.host.OnListScrolled(true);
}

void FileListView::ShowList(const std::string& list_id) {
  EndDrag(false, gfx::Point{});
  model_.ShowList(list_id, PlayingId());
  // The filter belongs to the list it narrowed; the box empties with it (its change finds the
  // filter empty already and does nothing).
  if (filter_edit_ && filter_edit_->IsCreated() && !filter_edit_->Text().empty())
    filter_edit_->SetText("");
  AfterRowsChanged(true);
  deps_.host.OnListShown(list_id);
}

void FileListView::RefreshList() {
  model_.RefreshList(PlayingId());
  AfterRowsChanged(false);
}

void FileListView::ApplyFilter(const std::string& text) {
  if (model_.ApplyFilter(text, PlayingId())) AfterRowsChanged(true);
}

void FileListView::MarkPlayingSong(const std::string& music_id) {
  marked_id_ = music_id;
  int before = model_.playing_row();
  model_.MarkPlaying(music_id);
  if (before == model_.playing_row()) return;
  if (!owner().IsCreated()) return;
  // Only the two rows that changed are drawn again.
  gfx::Painter painter(owner().back_buffer());
  for (int row : {before, model_.playing_row()}) {
    if (row < 0) continue;
    gfx::Rect area = RowArea();
    int y = area.top + row * row_height() - scroll_offset();
    owner().RestoreBackground(
        gfx::Rect{area.left, y, area.right, y + row_height()}.Intersect(area));
    DrawRowClipped(painter, row);
  }
  owner().SetNeedsUpdate();
}

void FileListView::SelectRows(std::set<int> rows) {
  model_.SetSelection(std::move(rows));
  int first = model_.selection().empty() ? -1 : *model_.selection().begin();
  model_.SetAnchorAndFocus(first, first);
  LayerListViewM::SetSelection(model_.selection());
  Redraw();
}

void FileListView::SetModifiers(bool control, bool shift) {
  control_ = control;
  shift_ = shift;
  LayerListViewM::SetModifiers(control, shift);
}

void FileListView::OnRowClicked(int index) {
  press_row_ = index;
  drag_start_.reset();
  pending_single_ = -1;
  // A plain press on a selected row may start dragging the whole selection: it becomes the only
  // selected row when the button comes up without a drag.
  if (!control_ && !shift_ && model_.selection().count(index) != 0) {
    pending_single_ = index;
    model_.SetAnchorAndFocus(index, index);
    return;
  }
  LayerListViewM::SetSelection(model_.selection());
  LayerListViewM::OnRowClicked(index);
  model_.SetSelection(selection());
  model_.SetAnchorAndFocus(shift_ && model_.anchor() >= 0 ? model_.anchor() : index, index);
}

void FileListView::OnRowActivated(int index) {
  if (model_.mode() == SongListMode::kSongs) {
    const store::MusicRecord* record = model_.RecordAt(index);
    if (record && deps_.play) deps_.play->PlaySong(model_.list_id(), *record);
    return;
  }
  const SongGroup* group = model_.GroupAt(index);
  if (group == nullptr) return;
  std::string title = group->name;
  deps_.store.playlists().SetFilterList(model_.GroupSongs(index));
  deps_.host.SetListTitle(title);
  deps_.host.ShowHeaderButtons(ListKind::kOther);
  ShowList(std::string(kFilterListId));
  if (panel_) panel_->RefreshPanel(true);
}

// ---- Commands -----------------------------------------------------------------------------------

bool FileListView::HandleCommand(int command_id) {
  using service::PlaylistSync;
  std::vector<store::MusicRecord> selected = model_.SelectedRecords();
  const store::MusicRecord* first = selected.empty() ? nullptr : &selected.front();
  switch (command_id) {
    case menu_commands::kPlaySelected:
      if (first && deps_.play) deps_.play->PlaySong(model_.list_id(), *first);
      return true;
    case kSongInfoCommand:
      if (first && !store::IsLocalId(store::IdOf(*first))) deps_.host.ShowSongInfo(*first);
      return true;
    case kArtistInfoCommand:
      if (first && !store::IsLocalId(store::IdOf(*first))) deps_.host.ShowArtistInfo(*first);
      return true;
    case menu_commands::kSortByName:
      HandleSort("name");
      return true;
    case menu_commands::kSortByArtist:
      HandleSort("artist_name");
      return true;
    case PlaylistSync::kNewFromSelectionCommand:
      if (deps_.sync) deps_.sync->NewListFromSelection();
      return true;
    case PlaylistSync::kAddToLibraryCommand:
      if (deps_.sync) deps_.sync->AddToLibrary();
      return true;
    case PlaylistSync::kDeleteSongsCommand:
      if (deps_.sync) deps_.sync->DeleteSongs();
      return true;
    case PlaylistSync::kRemoveFromListCommand:
      if (deps_.sync) deps_.sync->RemoveFromList();
      return true;
    case PlaylistSync::kClearListCommand:
      if (deps_.sync) deps_.sync->ClearList();
      return true;
    case PlaylistSync::kCopyToComputerCommand:
      if (deps_.sync) deps_.sync->CopyToComputer();
      return true;
    default:
      break;
  }
  if (command_id >= PlaylistSync::kFirstAddToListCommand &&
      command_id < PlaylistSync::kFirstAddToListCommand + kMaxAddToListEntries) {
    if (deps_.sync) deps_.sync->AddToList(command_id);
    return true;
  }
  return false;
}

bool FileListView::IsSortable() const {
  const std::string& id = model_.list_id();
  if (model_.mode() != SongListMode::kSongs || IsTemporaryListId(id)) return false;
  // A phone's lists are sorted on the phone (all but its all-songs list).
  if (IsDeviceListId(id)) return deps_.sync != nullptr && deps_.sync->phone().CanSortList(id);
  return deps_.store.playlists().GetPlaylistInfo(id).has_value();
}

bool FileListView::HandleSort(const std::string& attribute) {
  if (!IsSortable()) return false;
  const std::string& id = model_.list_id();
  if (IsDeviceListId(id)) {
    if (!deps_.sync->phone().SortList(id, attribute)) return false;
    RefreshList();
    return true;
  }
  std::optional<store::PlaylistInfo> info = deps_.store.playlists().GetPlaylistInfo(id);
  // The store turns a descending list round when asked not to keep its direction: the sort
  // commands always sort ascending.
  bool keep_direction = !(info && info->sort_asc == "false");
  if (!deps_.store.playlists().SortPlaylist(id, attribute, keep_direction)) return false;
  RefreshList();
  return true;
}

std::string FileListView::SortColumn() const {
  if (!IsSortable()) return {};
  if (IsDeviceListId(model_.list_id())) return deps_.sync->phone().ListSortColumn(model_.list_id());
  auto info = deps_.store.playlists().GetPlaylistInfo(model_.list_id());
  return info ? info->sort_column : std::string();
}

void FileListView::PopupMenu(const std::vector<window::MenuItem>& items, gfx::Point p) {
  window::WindowPresenter* presenter = owner().presenter();
  if (presenter == nullptr || items.empty()) return;
  std::weak_ptr<bool> alive = alive_;
  presenter->ShowMenu(items, p, [this, alive](int id) {
    if (alive.expired()) return;
    if (HandleCommand(id)) return;
    if (panel_ && panel_->HandleCommand(id)) return;
    deps_.host.OnListCommand(id);
  });
}

std::vector<window::MenuItem> FileListView::OnContextMenu(gfx::Point p) {
  if (model_.mode() != SongListMode::kSongs) return {};
  int row = RowAt(p);
  bool on_song = row >= 0;
  if (on_song && model_.selection().count(row) == 0) SelectRows({row});
  std::optional<SongMenuKind> kind = SongMenuKindFor(model_.list_id(), on_song);
  if (!kind) return {};
  SongMenuContext context;
  context.kind = *kind;
  if (on_song) {
    if (const store::MusicRecord* record = model_.RecordAt(row))
      context.local_song = store::IsLocalId(store::IdOf(*record));
  }
  if (deps_.sync && on_song) context.add_to_list = deps_.sync->AddToListEntries();
  context.sort_column = SortColumn();
  context.sortable = IsSortable();
  context.phone_list = IsDeviceListId(model_.list_id());
  std::vector<window::MenuItem> items = BuildSongMenu(context);
  PopupMenu(items, p);
  return items;
}

std::vector<window::MenuItem> FileListView::ShowAddToListMenu(gfx::Point p) {
  std::vector<window::MenuItem> items = BuildAddToListMenu(
      deps_.sync ? deps_.sync->AddToListEntries() : std::vector<service::AddToListEntry>{});
  PopupMenu(items, p);
  return items;
}

std::vector<window::MenuItem> FileListView::ShowSortMenu(gfx::Point p) {
  std::vector<window::MenuItem> items = BuildSortMenu(SortColumn());
  if (!IsSortable()) {
    for (window::MenuItem& item : items) item.enabled = false;
  }
  PopupMenu(items, p);
  return items;
}

// ---- Input --------------------------------------------------------------------------------------

void FileListView::OnMouseMove(const window::MouseEvent& e) {
  if (press_row_ < 0 || !e.left_held) return;
  if (!dragging_) {
    if (!drag_start_) {
      drag_start_ = e.pos;
      return;
    }
    int dx = std::abs(e.pos.x - drag_start_->x), dy = std::abs(e.pos.y - drag_start_->y);
    if (dx + dy < kDragThreshold) return;
    if (model_.mode() != SongListMode::kSongs || model_.selection().empty() || !panel_) return;
    dragging_ = true;
    pending_single_ = -1;
  }
  panel_->SetDropRow(panel_->DropRowAt(e.pos));
}

void FileListView::OnMouseUp(const window::MouseEvent& e) {
  if (dragging_) {
    EndDrag(true, e.pos);
  } else if (pending_single_ >= 0) {
    SelectRows({pending_single_});
  }
  press_row_ = -1;
  pending_single_ = -1;
  drag_start_.reset();
}

void FileListView::EndDrag(bool drop, gfx::Point p) {
  if (!dragging_) return;
  dragging_ = false;
  press_row_ = -1;
  drag_start_.reset();
  if (!panel_) return;
  int row = drop ? panel_->DropRowAt(p) : -1;
  panel_->SetDropRow(-1);
  if (row >= 0 && deps_.sync)
    deps_.sync->AddDroppedSongs(panel_->DropTargetId(row), model_.SelectedRecords());
}

std::vector<std::string> FileListView::DraggedNames() const {
  std::vector<std::string> names;
  for (const store::MusicRecord& record : model_.SelectedRecords()) {
    const std::string& name = Attribute(record, "name");
    const std::string& artist = Attribute(record, "artist_name");
    names.push_back(artist.empty() ? name : name + " - " + artist);
  }
  return names;
}

bool FileListView::CanDropAt(gfx::Point p) const {
  return dragging_ && panel_ != nullptr && panel_->DropRowAt(p) >= 0;
}

bool FileListView::OnKeyDown(const window::KeyEvent& e) {
  if (e.keyval == kKeyEscape && dragging_) {
    EndDrag(false, gfx::Point{});
    return true;
  }
  if (e.control && (e.keyval == kKeyA || e.keyval == kKeyCapitalA) &&
      model_.mode() == SongListMode::kSongs) {
    std::set<int> all;
    for (int i = 0; i < model_.RowCount(); ++i) all.insert(i);
    SelectRows(std::move(all));
    return true;
  }
  if (e.keyval == kKeyReturn) {
    int row = model_.focus() >= 0          ? model_.focus()
              : model_.selection().empty() ? -1
                                           : *model_.selection().begin();
    if (row >= 0) OnRowActivated(row);
    return row >= 0;
  }
  return false;
}

void FileListView::OnWheel(int delta_steps) {
  ScrollBy(delta_steps * row_height() * 3);
  Redraw();
  deps_.host.OnListScrolled(true);
}

// ---- Drawing ------------------------------------------------------------------------------------

void FileListView::DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect&,
                           bool selected) {
  ListColors colours = ListColors::Of(owner());
  gfx::Rect area{x, y, RowArea().right, y + row_height()};
  bool playing = index == model_.playing_row();
  gfx::Color fill = selected    ? colours.selection
                    : playing   ? colours.playing_fill
                    : index % 2 ? colours.row_odd
                                : colours.row_even;
  painter.FillRect(area, fill);
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  gfx::Font font = RowFont();

  if (const SongGroup* group = model_.GroupAt(index)) {
    std::string count = std::to_string(group->song_count) + "首 ";
    int count_width = gfx::TextMeasure::Width(count, font);
    gfx::Rect name_box{area.left + 6, area.top, area.right - count_width - 6, area.bottom};
    painter.DrawText(group->name, font, selected ? colours.selection_text : colours.text, name_box,
                     options);
    int name_width = std::min(gfx::TextMeasure::Width(group->name, font), name_box.width());
    gfx::Rect count_box{name_box.left + name_width + 4, area.top, area.right, area.bottom};
    painter.DrawText(count, font, selected ? colours.selection_text : colours.second_text,
                     count_box, options);
    return;
  }
  const store::MusicRecord* record = model_.RecordAt(index);
  if (record == nullptr) return;
  bool failed = deps_.play && deps_.play->HasFailed(store::IdOf(*record));
  gfx::Color text = selected  ? colours.selection_text
                    : playing ? colours.playing_text
                    : failed  ? colours.failed_text
                              : colours.text;
  gfx::Color second = selected ? colours.selection_text
                      : failed ? colours.failed_text
                               : colours.second_text;
  int number_width = SongListModel::NumberColumnWidth(model_.RowCount());
  gfx::TextOptions number_options = options;
  number_options.align = gfx::TextAlign::kRight;
  painter.DrawText(std::to_string(index + 1), font, second,
                   gfx::Rect{area.left, area.top, area.left + number_width, area.bottom},
                   number_options);
  const std::string& name = Attribute(*record, "name");
  const std::string& artist = Attribute(*record, "artist_name");
  int left = area.left + number_width + 6;
  gfx::Rect name_box{left, area.top, area.right - 3, area.bottom};
  painter.DrawText(name, font, text, name_box, options);
  if (artist.empty()) return;
  int name_width = gfx::TextMeasure::Width(name, font);
  if (left + name_width >= name_box.right) return;  // no room left for the artist
  gfx::Rect artist_box{left + name_width, area.top, name_box.right, area.bottom};
  painter.DrawText(" - " + artist, font, second, artist_box, options);
}

}  // namespace quillo::ui::lists
