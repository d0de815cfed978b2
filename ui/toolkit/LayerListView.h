#pragma once
// An owner-drawn list living inside a skinned window (a drawable object, not a window): rows of
// one height, scrolled vertically by a pixel offset, a scroll bar strip on the right that the
// owner draws with its own controls. Window thread only.
#include <set>

#include "platform/gfx/Geometry.h"
#include "platform/gfx/Painter.h"

namespace quillo::ui {

class LayerWnd;

class LayerListView {
 public:
  // The owner must outlive the list.
  LayerListView(LayerWnd& owner, const gfx::Rect& bounds, int row_height, int scroll_bar_width);

  // Slot order: destructor, DrawRow, RowCount, DrawRowClipped, Relayout, IsSelected,
  // IsSelectable, OnRowActivated, SetModifiers.
  virtual ~LayerListView();
  // Draws row `index` with its top-left at (x, y), limited to the clip rectangle.
  virtual void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
                       bool selected) = 0;
  virtual int RowCount() const = 0;
  // DrawRow for one row, clipped to the visible band of the list.
  virtual void DrawRowClipped(gfx::Painter& painter, int index);
  // After the rows or the bounds changed: keeps the scroll offset inside the content.
  virtual void Relayout();
  virtual bool IsSelected(int index) const = 0;
  virtual bool IsSelectable(int index) const;
  // A row was double-clicked. Empty here.
  virtual void OnRowActivated(int index);
  // The modifier keys held at the next press (the window sets them from the press). Ignored by
  // lists with a single selection.
  virtual void SetModifiers(bool /*control*/, bool /*shift*/) {}

  // The row under a window point, or -1: none outside x … x + width − scroll bar width or
  // outside the bounds vertically, or past the last row.
  int RowAt(gfx::Point p) const;
  // Draws every visible row (the background of the list is the owner's).
  void Draw(gfx::Painter& painter);
  // Redraws the list into the owner's back buffer.
  void Invalidate();

  // A press inside the bounds: selects through OnRowClicked.
  void OnMouseDown(gfx::Point p);
  virtual void OnRowClicked(int index) = 0;

  int scroll_offset() const { return scroll_offset_; }
  void SetScrollOffset(int pixels);
  void ScrollBy(int pixels) { SetScrollOffset(scroll_offset_ + pixels); }
  int ContentHeight() const { return RowCount() * row_height_; }
  int MaxScroll() const;
  // The scroll position as a fraction 0 … 1 and back (for a scroll thumb).
  double ScrollFraction() const;
  void SetScrollFraction(double fraction);

  const gfx::Rect& bounds() const { return bounds_; }
  void SetBounds(const gfx::Rect& bounds);
  int row_height() const { return row_height_; }
  int scroll_bar_width() const { return scroll_bar_width_; }
  LayerWnd& owner() const { return owner_; }
  // The rows' area (bounds less the scroll bar).
  gfx::Rect RowArea() const;

 private:
  LayerWnd& owner_;
  gfx::Rect bounds_;
  int row_height_;
  int scroll_offset_ = 0;
  int scroll_bar_width_;
};

// Single selection: the selected index (or -1).
class LayerListViewS : public LayerListView {
 public:
  using LayerListView::LayerListView;
  bool IsSelected(int index) const override { return index == selected_; }
  void OnRowClicked(int index) override;
  int selected() const { return selected_; }
  void SetSelected(int index);

 private:
  int selected_ = -1;
};

// Multiple selection: a set of indices; a click selects one row, Ctrl+click toggles (set
// modifiers before the press with SetModifiers), Shift+click selects a range from the anchor.
class LayerListViewM : public LayerListView {
 public:
  using LayerListView::LayerListView;
  bool IsSelected(int index) const override { return selection_.count(index) != 0; }
  void OnRowClicked(int index) override;
  void SetModifiers(bool control, bool shift) override {
    control_ = control;
    shift_ = shift;
  }
  const std::set<int>& selection() const { return selection_; }
  void SetSelection(std::set<int> selection) { selection_ = std::move(selection); }

 private:
  std::set<int> selection_;
  int anchor_ = -1;
  bool control_ = false;
  bool shift_ = false;
};

}  // namespace quillo::ui
