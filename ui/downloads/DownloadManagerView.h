#pragma once
// The list of the download manager tab: one row per song of the download list with its state
// icon, name, size, progress and speed in the five columns, and a scroll strip on the right. It
// lives inside the frame window that hosts the tab (a LayerListView, not a window). The rows and
// their selection are DownloadRows'; the view only draws them and turns clicks into selection
// and double-clicks into start/stop.
//
// Window thread only. The owner window and the rows outlive the view.
#include <utility>

#include "downloads/DownloadRow.h"
#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Painter.h"
#include "ui/toolkit/LayerListView.h"

namespace quillo::downloads {
class DownloadRows;
}

namespace quillo::ui {

class DownloadManagerView : public LayerListViewM {
 public:
  static constexpr int kRowHeight = 20;
  static constexpr int kScrollBarWidth = 12;

  // The horizontal span of a column (5–9) from the list's left edge: 0–22, 22–313, 313–380,
  // 380–484, 484–564. Other columns: (0, 0).
  static std::pair<int, int> ColumnSpan(int column);

  DownloadManagerView(LayerWnd& owner, const gfx::Rect& bounds, downloads::DownloadRows& rows);

  void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
               bool selected) override;
  int RowCount() const override;
  // The last visible row also draws the scroll strip, so that every redraw of the rows (the
  // window's and the list's own) keeps the strip in step with the scroll offset.
  void DrawRowClipped(gfx::Painter& painter, int index) override;
  bool IsSelected(int index) const override;
  void OnRowClicked(int index) override;
  // Double-click: stops a downloading row, starts any other at once.
  void OnRowActivated(int index) override;

  // Redraws the rows and the scroll strip into the owner's back buffer (not yet presented).
  void Redraw();
  // The scroll strip: its track and, when the rows do not fit, the thumb.
  void DrawScrollStrip(gfx::Painter& painter);
  // The strip at the list's right edge, and its thumb (empty when every row fits), in window
  // pixels.
  gfx::Rect StripRect() const;
  gfx::Rect ThumbRect() const;
  // Scrolls so that the thumb's top comes as near to `thumb_top` as the strip allows.
  void ScrollThumbTo(int thumb_top);
  // The icon of a row state, centred in the cell.
  static void DrawStateIcon(gfx::Painter& painter, downloads::RowState state,
                            const gfx::Rect& cell);

  // The colours of the rows (the look of the program's other lists).
  struct Colors {
    gfx::Color text = gfx::Color::Rgb(30, 30, 30);
    gfx::Color row_even = gfx::Color::Rgb(255, 255, 255);
    gfx::Color row_odd = gfx::Color::Rgb(242, 246, 250);
    gfx::Color selection = gfx::Color::Rgb(58, 120, 200);
    gfx::Color selection_text = gfx::Color::Rgb(255, 255, 255);
    gfx::Color strip = gfx::Color::Rgb(226, 232, 240);
    gfx::Color thumb = gfx::Color::Rgb(150, 168, 192);
  };
  static const Colors& colors();

 private:
  downloads::DownloadRows& rows_;
};

}  // namespace quillo::ui
