#include "ui/lists/PlaylistView.h"

#include <algorithm>

#include "platform/gfx/TextMeasure.h"
#include "service/api/ServiceEndpoints.h"
#include "service/sync/ListKinds.h"
#include "service/sync/PlaylistSync.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/ListColors.h"
#include "ui/lists/ListMenus.h"
#include "ui/lists/ListsHost.h"
#include "ui/lists/RandomListLoadingWnd.h"
#include "ui/lists/TempPlaylistCallback.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui::lists {

PlaylistView::PlaylistView(LayerWnd& owner, const gfx::Rect& rect, const ListViewDeps& deps,
                           FileListView& songs)
    : LayerListViewS(owner, rect, kRowHeight, kScrollBarWidth),
      deps_(deps),
      songs_(songs),
      model_(deps.store),
      fetcher_(std::make_unique<TempPlaylistCallback>(
          deps.downloader, deps.store.playlists(),
          [this](const std::string& list_id, bool ok) { OnFetchFinished(list_id, ok); })),
      loading_bar_(std::make_unique<RandomListLoadingWnd>(owner, songs.bounds().bottom)) {
  songs_.SetPanel(this);
  model_.Rebuild();
}

PlaylistView::~PlaylistView() {
  // No fetch may report to a panel that is gone, nor a menu choice reach it.
  fetcher_->CancelAll();
  alive_.reset();
  songs_.SetPanel(nullptr);
}

void PlaylistView::Redraw() {
  if (!owner().IsCreated()) return;
  Invalidate();
}

void PlaylistView::SetPage(PanelPage page) {
  if (page != model_.page()) {
    model_.SetPage(page);
    SetScrollOffset(0);
    Redraw();
  }
  deps_.host.OnPanelPageChanged(page);
  deps_.host.OnListScrolled(false);
}

void PlaylistView::RefreshPanel(bool redraw) {
  model_.Rebuild();
  Relayout();
  if (redraw) Redraw();
  deps_.host.OnListScrolled(false);
}

bool PlaylistView::IsLoaded(const std::string& list_id) const {
  return deps_.store.playlists().PlaylistExists(list_id);
}

void PlaylistView::SelectList(const std::string& list_id) {
  int index = model_.IndexOf(list_id);
  if (index < 0 && model_.page() != PanelPage::kLists) {
    SetPage(PanelPage::kLists);
    index = model_.IndexOf(list_id);
  }
  if (index >= 0 && index == model_.selected()) {
    songs_.RefreshList();
    return;
  }
  if (index < 0) index = model_.LibraryRowIndex();
  ChooseRow(index);
}

void PlaylistView::ChooseRow(int index) {
  auto loaded = [this](const std::string& id) { return IsLoaded(id); };
  std::optional<PanelChoice> choice = model_.Choose(index, loaded);
  Redraw();
  if (choice) Apply(*choice);
}

void PlaylistView::OnRowClicked(int index) {
  LayerListViewS::OnRowClicked(index);
  ChooseRow(index);
}

void PlaylistView::Apply(const PanelChoice& choice) {
  deps_.host.SetListTitle(choice.title);
  deps_.host.ShowHeaderButtons(choice.kind);
  if (choice.fetch) FetchList(choice.list_id);
  // A list that is still being fetched shows empty until its answer arrives.
  songs_.ShowList(choice.list_id);
}

void PlaylistView::FetchList(const std::string& list_id) {
  ShowLoadingBar(1);
  if (!deps_.endpoints.configured()) {
    if (std::find(awaiting_service_.begin(), awaiting_service_.end(), list_id) ==
        awaiting_service_.end())
      awaiting_service_.push_back(list_id);
    return;
  }
  std::string url =
      TemporaryListUrl(deps_.endpoints.base_url, deps_.store.store().ClientId(), list_id);
  fetcher_->Fetch(list_id, url);
}

void PlaylistView::OnServiceKnown(bool available) {
  std::vector<std::string> waiting = std::move(awaiting_service_);
  awaiting_service_.clear();
  for (const std::string& list_id : waiting) {
    if (available && deps_.endpoints.configured()) {
      FetchList(list_id);
    } else {
      OnFetchFinished(list_id, false);
    }
  }
}

void PlaylistView::FetchAnotherBatch() {
  std::string list_id = model_.random_id();
  if (list_id == kRandomRowInitialId) list_id = std::string(kRandomAllListId);
  FetchList(list_id);
}

void PlaylistView::OnFetchFinished(const std::string& list_id, bool ok) {
  // A failed fetch keeps the list's previous songs; only a good answer reports an update.
  ShowLoadingBar(ok ? 2 : 3);
  if (songs_.ShownListId() == list_id) songs_.RefreshList();
}

void PlaylistView::ShowLoadingBar(int state) {
  loading_bar_->SetListBottom(songs_.bounds().bottom);
  loading_bar_->ShowState(state);
}

bool PlaylistView::HandleCommand(int command_id) {
  auto loaded = [this](const std::string& id) { return IsLoaded(id); };
  auto show_row = [this](const PanelChoice& choice, int row) {
    if (model_.page() != PanelPage::kLists) SetPage(PanelPage::kLists);
    model_.Select(row);
    Redraw();
    Apply(choice);
  };
  if (command_id >= kFirstRandomCommand && command_id <= kLastRandomCommand) {
    if (!RandomGroupByCommand(command_id)) return false;
    if (model_.page() != PanelPage::kLists) SetPage(PanelPage::kLists);
    if (auto choice = model_.ChooseRandomGroup(command_id, loaded))
      show_row(*choice, model_.IndexOf(choice->list_id));
    return true;
  }
  if (command_id >= kFirstRankCommand && command_id <= kLastRankCommand) {
    if (!RankingByCommand(command_id)) return false;
    if (model_.page() != PanelPage::kLists) SetPage(PanelPage::kLists);
    if (auto choice = model_.ChooseRanking(command_id, loaded))
      show_row(*choice, model_.IndexOf(choice->list_id));
    return true;
  }
  if (command_id >= kGroupAllCommand && command_id <= kGroupAlbumsCommand) {
    if (model_.page() != PanelPage::kLists) SetPage(PanelPage::kLists);
    std::optional<std::string> id = model_.ChooseGrouping(command_id);
    if (!id) return false;
    PanelChoice choice{*id, model_.TitleOf(*id), ListKind::kOther, false};
    show_row(choice, model_.LibraryRowIndex());
    return true;
  }
  using service::PlaylistSync;
  switch (command_id) {
    case PlaylistSync::kNewPlaylistCommand:
      if (deps_.sync) deps_.sync->NewPlaylist();
      return true;
    case PlaylistSync::kRenameCommand:
      if (deps_.sync) deps_.sync->RenamePlaylist();
      return true;
    case PlaylistSync::kDeletePlaylistCommand:
      if (deps_.sync && deps_.sync->DeletePlaylist()) {
        // The deleted list may have been the one shown: show what takes its place.
        std::string shown = songs_.ShownListId();
        RefreshPanel(true);
        if (model_.IndexOf(shown) < 0 && !IsTemporaryListId(shown)) SelectList(shown);
      }
      return true;
    default:
      return false;
  }
}

std::vector<window::MenuItem> PlaylistView::OnContextMenu(gfx::Point p) {
  std::vector<window::MenuItem> items;
  int row = RowAt(p);
  if (model_.page() != PanelPage::kLists) return items;
  if (row >= 0 && !model_.IsSelectable(row)) return items;
  if (row < 0) {
    items = BuildPanelMenu("");
  } else {
    model_.Select(row);
    Redraw();
    const PanelRow& r = model_.rows()[row];
    if (row == 2 || row == 3 || row == model_.LibraryRowIndex()) {
      items = ChoiceMenu(r.id);
    } else {
      items = BuildPanelMenu(r.phone ? std::string() : r.id);
    }
  }
  PopUp(items, p);
  return items;
}

std::vector<window::MenuItem> PlaylistView::ChoiceMenu(const std::string& list_id) const {
  if (list_id == kRandomRowInitialId || IsRandomListId(list_id))
    return BuildRandomMenu(model_.random_id() == kRandomRowInitialId ? 0 : model_.random_command());
  if (list_id == kRankRowInitialId || IsRankListId(list_id))
    return BuildRankingMenu(model_.rank_id() == kRankRowInitialId ? 0 : model_.rank_command());
  if (list_id == model_.library_id()) {
    int checked = kGroupAllCommand;
    for (int id : {kGroupAllCommand, kGroupArtistsCommand, kGroupAlbumsCommand}) {
      if (model_.GroupingChecked(id)) checked = id;
    }
    return BuildGroupingMenu(checked);
  }
  return {};
}

void PlaylistView::PopUp(const std::vector<window::MenuItem>& items, gfx::Point p) {
  if (items.empty()) return;
  if (window::WindowPresenter* presenter = owner().presenter()) {
    std::weak_ptr<bool> alive = alive_;
    presenter->ShowMenu(items, p, [this, alive](int id) {
      if (alive.expired()) return;
      if (!HandleCommand(id)) deps_.host.OnListCommand(id);
    });
  }
}

bool PlaylistView::ShownListHasHeaderMenu() const {
  return !ChoiceMenu(songs_.ShownListId()).empty();
}

std::vector<window::MenuItem> PlaylistView::OnHeaderMenu(gfx::Point p) {
  std::vector<window::MenuItem> items = ChoiceMenu(songs_.ShownListId());
  PopUp(items, p);
  return items;
}

void PlaylistView::OnWheel(int delta_steps) {
  ScrollBy(delta_steps * row_height() * 3);
  Redraw();
  deps_.host.OnListScrolled(false);
}

void PlaylistView::FollowOwner() {
  loading_bar_->SetListBottom(songs_.bounds().bottom);
}

int PlaylistView::DropRowAt(gfx::Point p) const {
  if (model_.page() != PanelPage::kLists) return -1;
  int row = RowAt(p);
  if (!model_.IsSelectable(row)) return -1;
  const PanelRow& r = model_.rows()[row];
  if (r.phone) return -1;
  if (row == model_.LibraryRowIndex() || service::IsUserPlaylistId(r.id)) return row;
  // A phone's list takes songs too: they are copied to the phone.
  if (IsDeviceListId(r.id)) return row;
  return -1;
}

std::string PlaylistView::DropTargetId(int row) const {
  if (row == model_.LibraryRowIndex()) return std::string(kLibraryListId);
  if (row < 0 || row >= model_.RowCount()) return {};
  return model_.rows()[row].id;
}

void PlaylistView::SetDropRow(int row) {
  if (row == drop_row_) return;
  drop_row_ = row;
  Redraw();
}

void PlaylistView::DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect&,
                           bool selected) {
  if (index < 0 || index >= model_.RowCount()) return;
  const PanelRow& row = model_.rows()[index];
  ListColors colours = ListColors::Of(owner());
  gfx::Rect area{x, y, RowArea().right, y + row_height()};
  if (row.heading) {
    painter.FillRect(area, colours.row_odd);
    painter.FillRect(gfx::Rect{area.left + 4, area.bottom - 2, area.right - 4, area.bottom - 1},
                     colours.accent);
    return;
  }
  painter.FillRect(area, selected    ? colours.selection
                         : index % 2 ? colours.row_odd
                                     : colours.row_even);
  if (index == drop_row_) painter.StrokeRect(area, colours.accent);
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  // Lists of a phone sit one step in under the phone.
  int indent = IsDeviceListId(row.id) && !row.phone ? 14 : 6;
  gfx::Rect text_box{area.left + indent, area.top, area.right - 3, area.bottom};
  painter.DrawText(row.name, gfx::Font::Points("宋体", 9),
                   selected ? colours.selection_text : colours.text, text_box, options);
}

}  // namespace quillo::ui::lists
