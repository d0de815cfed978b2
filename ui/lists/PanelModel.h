#pragma once
// The rows of the playlist panel and the choices it remembers: the page shown, the list id the
// random row and the ranking row stand for, the grouping of the library row, and the row
// selected (kept by id across rebuilds). Display-free: the view draws these rows.
//
// Window thread. Rebuild reads the store (each call takes the store's lock).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/lists/ListCatalog.h"

namespace quillo::store {
class StoreRuntime;
}

namespace quillo::ui::lists {

struct PanelRow {
  std::string id;
  std::string name;
  bool heading = false;  // the title row: drawn, never chosen
  bool phone = false;    // a phone itself ("d_<device>" with an empty name): not a list
  bool operator==(const PanelRow&) const = default;
};

// What choosing a row (or a menu entry) asks of its caller.
struct PanelChoice {
  std::string list_id;  // the list to show (ShowList)
  std::string title;    // the title above the song list
  ListKind kind = ListKind::kOther;
  bool fetch = false;  // the temporary list is not loaded: fetch it (loading bar state 1)
};

class PanelModel {
 public:
  // The store must outlive the model.
  explicit PanelModel(store::StoreRuntime& store);

  PanelPage page() const { return page_; }
  void SetPage(PanelPage page);

  // Rebuilds the rows of the current page from the store; the selected id is kept (the row
  // holding it is selected again, or none).
  void Rebuild();
  const std::vector<PanelRow>& rows() const { return rows_; }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  // The row with the id on the current page, or -1.
  int IndexOf(const std::string& list_id) const;
  // The row of the library ("", "m_artists" or "m_albums") on page 0, or -1 on other pages.
  int LibraryRowIndex() const;
  bool IsSelectable(int index) const;

  int selected() const { return selected_; }
  // The id of the selected row, or none.
  std::optional<std::string> SelectedId() const;
  // Selects a row (or -1); rows that cannot be chosen select nothing.
  void Select(int index);

  // The random (ranking) row's list id: "t_random" / "t_rank" until first chosen.
  const std::string& random_id() const { return random_id_; }
  const std::string& rank_id() const { return rank_id_; }
  // The library row's id by the grouping: "", "m_artists" or "m_albums".
  const std::string& library_id() const { return library_id_; }
  int random_command() const { return random_command_; }
  int rank_command() const { return rank_command_; }

  // Choosing the row at index: the random and ranking rows take their first list id on first
  // use. The answer names the list to show; none for rows that are not lists. `loaded` answers
  // whether a temporary list is held in the store already.
  std::optional<PanelChoice> Choose(int index,
                                    const std::function<bool(const std::string&)>& loaded);
  // A random group (ranking list) chosen from its menu; none when it is the one already chosen.
  std::optional<PanelChoice> ChooseRandomGroup(
      int menu_id, const std::function<bool(const std::string&)>& loaded);
  std::optional<PanelChoice> ChooseRanking(int menu_id,
                                           const std::function<bool(const std::string&)>& loaded);
  // 33082–33084: the library row's grouping; answers the library row's new id.
  std::optional<std::string> ChooseGrouping(int command_id);
  // Whether a command id checks in the grouping menu (the grouping in use).
  bool GroupingChecked(int command_id) const;

  // The title and kind of a list id as the panel names it.
  std::string TitleOf(const std::string& list_id) const;
  static ListKind KindOf(const std::string& list_id);

 private:
  std::vector<PanelRow> ListRows() const;

  store::StoreRuntime& store_;
  PanelPage page_ = PanelPage::kLists;
  std::vector<PanelRow> rows_;
  int selected_ = -1;
  std::string random_id_{kRandomRowInitialId};
  std::string rank_id_{kRankRowInitialId};
  std::string library_id_{kLibraryListId};
  int random_command_ = kRandomAllCommand;
  int rank_command_ = kDefaultRankCommand;
};

}  // namespace quillo::ui::lists
