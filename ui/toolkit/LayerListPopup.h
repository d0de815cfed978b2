#pragma once
// A drop-down list: a LayerPopup showing a list of texts (LayerListPopupView) under a field.
// Clicking a row reports its index and closes the popup; losing activation closes it without an
// answer.
#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/LayerListView.h"
#include "ui/toolkit/LayerPopup.h"

namespace quillo::ui {

class LayerListPopup;

class LayerListPopupView : public LayerListViewS {
 public:
  LayerListPopupView(LayerListPopup& popup, const gfx::Rect& bounds, int row_height);
  void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
               bool selected) override;
  int RowCount() const override;
  void OnRowClicked(int index) override;
  void SetHovered(int index) { hovered_ = index; }
  int hovered() const { return hovered_; }

 private:
  LayerListPopup& popup_;
  int hovered_ = -1;
};

class LayerListPopup : public LayerPopup {
 public:
  static constexpr int kRowHeight = 20;
  static constexpr int kMaxVisibleRows = 8;
  static constexpr int kListControlId = 1;

  // chosen runs with the clicked row's index, after which the popup closes.
  LayerListPopup(std::vector<std::string> items, int selected, std::function<void(int)> chosen);

  // The popup's screen rectangle under a field (screen rectangle of the field).
  gfx::Rect RectUnder(const gfx::Rect& field_screen_rect) const;

  const std::vector<std::string>& items() const { return items_; }
  LayerListPopupView& view() { return view_; }

  void InitLayer() override;
  void DrawBackground() override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnMouseLeave() override;
  void Choose(int index);

 private:
  std::vector<std::string> items_;
  std::function<void(int)> chosen_;
  LayerListPopupView view_;
};

}  // namespace quillo::ui
