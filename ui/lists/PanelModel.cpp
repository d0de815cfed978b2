#include "ui/lists/PanelModel.h"

#include "store/Playlists.h"
#include "store/StoreRuntime.h"

namespace quillo::ui::lists {
namespace {

constexpr const char* kPhoneName = "我的手机";

const char* LibraryName(const std::string& library_id) {
  if (library_id == kArtistsGroupingId) return kLibraryArtistsName;
  if (library_id == kAlbumsGroupingId) return kLibraryAlbumsName;
  return kLibraryAllName;
}

bool IsLibraryId(const std::string& id) {
  return id == kLibraryListId || id == kArtistsGroupingId || id == kAlbumsGroupingId;
}

// The page rows of the all-groups entry read "t_random_0"; the list they show is "t_random_".
std::string ListIdOfPageRow(const std::string& row_id) {
  if (auto entry = RandomGroupByListId(row_id); entry && entry->service_id.empty())
    return std::string(kRandomAllListId);
  return row_id;
}

}  // namespace

PanelModel::PanelModel(store::StoreRuntime& store) : store_(store) {}

void PanelModel::SetPage(PanelPage page) {
  if (page == page_) return;
  page_ = page;
  selected_ = -1;
  Rebuild();
  // Each page shows its own choice selected.
  if (page_ == PanelPage::kRandom && random_id_ != kRandomRowInitialId) Select(IndexOf(random_id_));
  if (page_ == PanelPage::kRanking && rank_id_ != kRankRowInitialId) Select(IndexOf(rank_id_));
}

std::vector<PanelRow> PanelModel::ListRows() const {
  std::vector<PanelRow> rows;
  rows.push_back({std::string(kTitleRowId), "", true, false});
  rows.push_back({std::string(kRecentListId), kRecentName, false, false});
  rows.push_back({random_id_, kRandomName, false, false});
  rows.push_back({rank_id_, kRankName, false, false});
  if (!store_.playlists().PlaylistIsEmpty(kLocalListId))
    rows.push_back({std::string(kLocalListId), kLocalName, false, false});
  rows.push_back({library_id_, LibraryName(library_id_), false, false});
  for (store::PlaylistEntry& entry : store_.playlists().ListPlaylists(false)) {
    // A phone itself is announced by an entry without a name; its lists follow it.
    bool phone = IsDeviceListId(entry.id) && entry.name.empty();
    rows.push_back({std::move(entry.id), phone ? kPhoneName : std::move(entry.name), false, phone});
  }
  return rows;
}

void PanelModel::Rebuild() {
  std::optional<std::string> kept = SelectedId();
  rows_.clear();
  switch (page_) {
    case PanelPage::kLists:
      rows_ = ListRows();
      break;
    case PanelPage::kRandom:
      for (const ServiceListEntry& e : RandomGroups())
        rows_.push_back({std::string(e.list_id), std::string(e.name), false, false});
      break;
    case PanelPage::kRanking:
      for (const ServiceListEntry& e : RankingLists())
        rows_.push_back({std::string(e.list_id), std::string(e.name), false, false});
      break;
  }
  selected_ = kept ? IndexOf(*kept) : -1;
}

int PanelModel::IndexOf(const std::string& list_id) const {
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_[i].heading) continue;
    if (rows_[i].id == list_id) return i;
    if (page_ != PanelPage::kLists && ListIdOfPageRow(rows_[i].id) == list_id) return i;
  }
  return -1;
}

int PanelModel::LibraryRowIndex() const {
  if (page_ != PanelPage::kLists) return -1;
  for (int i = 0; i < RowCount(); ++i) {
    if (!rows_[i].heading && !rows_[i].phone && IsLibraryId(rows_[i].id) && i >= 4) return i;
  }
  return -1;
}

bool PanelModel::IsSelectable(int index) const {
  return index >= 0 && index < RowCount() && !rows_[index].heading;
}

std::optional<std::string> PanelModel::SelectedId() const {
  if (!IsSelectable(selected_)) return std::nullopt;
  return rows_[selected_].id;
}

void PanelModel::Select(int index) {
  selected_ = IsSelectable(index) ? index : -1;
}

std::optional<PanelChoice> PanelModel::Choose(
    int index, const std::function<bool(const std::string&)>& loaded) {
  if (!IsSelectable(index)) return std::nullopt;
  selected_ = index;
  PanelRow& row = rows_[index];
  if (row.phone) return std::nullopt;
  PanelChoice choice;
  if (page_ == PanelPage::kLists) {
    if (row.id == kRandomRowInitialId) {
      random_id_ = std::string(kRandomAllListId);
      random_command_ = kRandomAllCommand;
      row.id = random_id_;
    } else if (row.id == kRankRowInitialId) {
      rank_id_ = std::string(kRankListPrefix) + "1";
      rank_command_ = kDefaultRankCommand;
      row.id = rank_id_;
    }
    choice.list_id = row.id;
  } else {
    choice.list_id = ListIdOfPageRow(row.id);
    // A group or list chosen on its page becomes the one the first page's row stands for.
    if (auto e = RandomGroupByListId(row.id)) {
      random_id_ = choice.list_id;
      random_command_ = e->menu_id;
    } else if (auto r = RankingByListId(row.id)) {
      rank_id_ = choice.list_id;
      rank_command_ = r->menu_id;
    }
  }
  choice.title = TitleOf(choice.list_id);
  choice.kind = KindOf(choice.list_id);
  choice.fetch =
      (IsRandomListId(choice.list_id) || IsRankListId(choice.list_id)) && !loaded(choice.list_id);
  return choice;
}

std::optional<PanelChoice> PanelModel::ChooseRandomGroup(
    int menu_id, const std::function<bool(const std::string&)>& loaded) {
  std::optional<ServiceListEntry> entry = RandomGroupByCommand(menu_id);
  if (!entry) return std::nullopt;
  // Until the random row was first chosen no group is in use, so every entry counts as new.
  if (menu_id == random_command_ && random_id_ != kRandomRowInitialId) return std::nullopt;
  random_id_ = RandomListIdOfCommand(*entry);
  random_command_ = menu_id;
  if (page_ == PanelPage::kLists && rows_.size() > 2) rows_[2].id = random_id_;
  PanelChoice choice{random_id_, TitleOf(random_id_), ListKind::kRandom, !loaded(random_id_)};
  return choice;
}

std::optional<PanelChoice> PanelModel::ChooseRanking(
    int menu_id, const std::function<bool(const std::string&)>& loaded) {
  std::optional<ServiceListEntry> entry = RankingByCommand(menu_id);
  if (!entry) return std::nullopt;
  if (menu_id == rank_command_ && rank_id_ != kRankRowInitialId) return std::nullopt;
  rank_id_ = RankListIdOfCommand(*entry);
  rank_command_ = menu_id;
  if (page_ == PanelPage::kLists && rows_.size() > 3) rows_[3].id = rank_id_;
  PanelChoice choice{rank_id_, TitleOf(rank_id_), ListKind::kRanking, !loaded(rank_id_)};
  return choice;
}

std::optional<std::string> PanelModel::ChooseGrouping(int command_id) {
  std::string id;
  switch (command_id) {
    case kGroupAllCommand:
      id = std::string(kLibraryListId);
      break;
    case kGroupArtistsCommand:
      id = std::string(kArtistsGroupingId);
      break;
    case kGroupAlbumsCommand:
      id = std::string(kAlbumsGroupingId);
      break;
    default:
      return std::nullopt;
  }
  int row = LibraryRowIndex();
  library_id_ = id;
  if (row >= 0) {
    rows_[row].id = id;
    rows_[row].name = LibraryName(id);
  }
  return id;
}

bool PanelModel::GroupingChecked(int command_id) const {
  switch (command_id) {
    case kGroupAllCommand:
      return library_id_ == kLibraryListId;
    case kGroupArtistsCommand:
      return library_id_ == kArtistsGroupingId;
    case kGroupAlbumsCommand:
      return library_id_ == kAlbumsGroupingId;
    default:
      return false;
  }
}

std::string PanelModel::TitleOf(const std::string& list_id) const {
  if (auto name = ServiceListName(list_id)) return *name;
  if (list_id == kRecentListId) return kRecentName;
  if (list_id == kLocalListId) return kLocalName;
  if (IsLibraryId(list_id)) return LibraryName(list_id);
  if (list_id == kRandomRowInitialId) return kRandomName;
  if (list_id == kRankRowInitialId) return kRankName;
  for (const PanelRow& row : rows_) {
    if (row.id == list_id && !row.heading) return row.name;
  }
  if (auto info = store_.playlists().GetPlaylistInfo(list_id)) return info->name;
  return {};
}

ListKind PanelModel::KindOf(const std::string& list_id) {
  if (list_id == kRecentListId) return ListKind::kRecent;
  if (list_id == kRandomRowInitialId || IsRandomListId(list_id)) return ListKind::kRandom;
  if (list_id == kRankRowInitialId || IsRankListId(list_id)) return ListKind::kRanking;
  return ListKind::kOther;
}

}  // namespace quillo::ui::lists
