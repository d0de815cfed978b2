#pragma once
// The list of not yet downloaded songs in the copy confirmation: the row number centred in a
// column (20 pixels, 30 from 100 rows, 40 from 1000) and the song's name, on the main window's
// alternating row colours.
#include <string>
#include <vector>

#include "ui/toolkit/LayerListView.h"

namespace quillo::ui {

class CopyDeviceConfirmList : public LayerListViewS {
 public:
  static constexpr int kRowHeight = 18;
  static constexpr int kScrollBarWidth = 12;

  CopyDeviceConfirmList(LayerWnd& owner, const gfx::Rect& bounds, std::vector<std::string> names);

  static int NumberColumnWidth(int row_count);

  void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
               bool selected) override;
  int RowCount() const override { return int(names_.size()); }

 private:
  std::vector<std::string> names_;
};

}  // namespace quillo::ui
