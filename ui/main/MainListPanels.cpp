#include "ui/main/MainListPanels.h"

#include "ui/lists/FileListView.h"
#include "ui/lists/FilterEdit.h"
#include "ui/lists/PlaylistView.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

MainListPanels::MainListPanels(LayerWnd& owner, lists::ListViewDeps deps,
                               lists::ListsSyncView& sync_view)
    : owner_(owner), deps_(deps), sync_view_(sync_view) {}

MainListPanels::~MainListPanels() {
  sync_view_.SetViews(nullptr, nullptr);
  DestroyEdit();
}

void MainListPanels::DestroyEdit() {
  if (songs_) songs_->SetFilterEdit(nullptr);
  if (search_) search_->Destroy();
  search_.reset();
}

void MainListPanels::Build(const gfx::Rect& panel, const gfx::Rect& songs,
                           const gfx::Rect& search) {
  if (songs_) shown_ = songs_->ShownListId();
  if (panel_) page_ = static_cast<int>(panel_->page());
  sync_view_.SetViews(nullptr, nullptr);
  DestroyEdit();
  panel_.reset();
  songs_ = std::make_unique<lists::FileListView>(owner_, songs, deps_);
  owner_.AddList(*songs_, kSongListControl);
  // The panel also exists where it is not shown (the mini layout): it is what fetches the
  // service lists the song list shows.
  panel_ = std::make_unique<lists::PlaylistView>(owner_, panel, deps_, *songs_);
  if (!panel.IsEmpty()) owner_.AddList(*panel_, kPanelControl);
  songs_->SetPanel(panel_.get());
  if (!search.IsEmpty()) {
    lists::FileListView* list = songs_.get();
    search_ = std::make_unique<lists::FilterEdit>(
        owner_, search, [list](const std::string& text) { list->ApplyFilter(text); });
    if (search_->Create()) songs_->SetFilterEdit(search_.get());
  }
  sync_view_.SetViews(panel_.get(), songs_.get());
  if (panel_) {
    panel_->SetPage(static_cast<lists::PanelPage>(page_));
    panel_->RefreshPanel(false);
  }
  ShowList(shown_);
}

void MainListPanels::ShowList(const std::string& list_id) {
  shown_ = list_id;
  // Through the panel on every page: it turns to the page with the list's row, so the row
  // selected and the list shown never disagree.
  if (panel_) {
    panel_->SelectList(list_id);
  } else if (songs_) {
    songs_->ShowList(list_id);
  }
}

std::string MainListPanels::ShownListId() const {
  return songs_ ? songs_->ShownListId() : shown_;
}

bool MainListPanels::HandleCommand(int command_id) {
  if (songs_ && songs_->HandleCommand(command_id)) return true;
  return panel_ && panel_->HandleCommand(command_id);
}

bool MainListPanels::OnContextMenu(gfx::Point p) {
  if (songs_ && songs_->bounds().Contains(p)) {
    songs_->OnContextMenu(p);
    return true;
  }
  if (panel_ && panel_->bounds().Contains(p)) {
    panel_->OnContextMenu(p);
    return true;
  }
  return false;
}

void MainListPanels::SetPage(int page) {
  page_ = page;
  if (panel_) panel_->SetPage(static_cast<lists::PanelPage>(page));
}

}  // namespace quillo::ui
