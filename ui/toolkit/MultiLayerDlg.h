#pragma once
// A LayerDlg with pages: each page is a set of controls, and only the current page's controls
// are shown (the settings dialog's pages). DrawPage draws what a page has besides controls.
#include <vector>

#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {

class MultiLayerDlg : public LayerDlg {
 public:
  using LayerDlg::LayerDlg;

  // A new page holding these controls; answers its index. Controls of no page are always shown.
  int AddPage(std::vector<int> control_ids);
  // Shows page `index` (out of range: nothing changes), redraws.
  void ShowPage(int index);
  int current_page() const { return current_page_; }
  int page_count() const { return int(pages_.size()); }

  void DrawBackground() override;

 protected:
  // The page's own drawing over the frame; empty here.
  virtual void DrawPage(gfx::Painter& painter, int index);

 private:
  std::vector<std::vector<int>> pages_;
  int current_page_ = -1;
};

}  // namespace quillo::ui
