#pragma once
// The settings dialog's colour popup (skin 186, 161 × 164): a palette of 64 cells, 18 × 18 on a
// 19-pixel pitch, each lit by its hover image. A click on a cell takes the skin's colour at the
// cell's centre, hands it with the request id to the owner's OnColorPicked and closes the popup.
// At most one exists; it closes when it loses activation. The owner holds it (PopupOwner) and
// is reached only while it lives. Window thread.
#include "ui/toolkit/LayerPopup.h"
#include "ui/toolkit/WindowRef.h"

namespace quillo::ui {

class SelectColorDlg : public LayerPopup {
 public:
  static constexpr int kWidth = 161;
  static constexpr int kHeight = 164;
  // Cells are controls 100 … 163.
  static constexpr int kFirstCellId = 100;

  SelectColorDlg(LayerWnd& owner, int request_id);

  // Opens the popup at the screen point for the request, owned by `owner`, and gives it the
  // focus; nothing (null) while one is open.
  static SelectColorDlg* Show(LayerWnd& owner, gfx::Point screen, int request_id);
  static SelectColorDlg* Current();

  int request_id() const { return request_id_; }
  // The colour of a cell (from the skin), for tests and the owner.
  gfx::Color CellColor(int cell) const;
  // A click on cell n: the owner hears of it, then the popup closes.
  void Pick(int cell);

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnDestroy() override;

 private:
  WindowRef owner_;
  int request_id_;
};

}  // namespace quillo::ui
