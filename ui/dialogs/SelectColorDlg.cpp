#include "ui/dialogs/SelectColorDlg.h"

#include <memory>

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/PopupOwner.h"

namespace quillo::ui {
namespace palette = skin::palette;

SelectColorDlg::SelectColorDlg(LayerWnd& owner, int request_id)
    : LayerPopup(skin::kPalette, false), owner_(owner.Ref()), request_id_(request_id) {}

SelectColorDlg* SelectColorDlg::Current() {
  return PopupOwner::FindAnywhere<SelectColorDlg>();
}

SelectColorDlg* SelectColorDlg::Show(LayerWnd& owner, gfx::Point screen, int request_id) {
  if (Current()) return nullptr;
  PopupOwner& holder = PopupOwner::For(&owner);
  SelectColorDlg* popup = holder.Adopt(std::make_unique<SelectColorDlg>(owner, request_id));
  if (!popup->Create(gfx::Rect::FromXYWH(screen.x, screen.y, kWidth, kHeight), &owner)) {
    holder.Release(popup);
    return nullptr;
  }
  popup->BringToFront();
  return popup;
}

gfx::Color SelectColorDlg::CellColor(int cell) const {
  if (!skin() || cell < 0 || cell >= palette::kColumns * palette::kRows) return gfx::Color{};
  const gfx::Point at = palette::CellPixel(cell);
  gfx::Color color = skin()->ColorAt(at.x, at.y);
  color.a = 255;
  return color;
}

void SelectColorDlg::InitLayer() {
  for (int cell = 0; cell < palette::kColumns * palette::kRows; ++cell) {
    const gfx::Rect normal = palette::CellRect(cell);
    const gfx::Rect lit = normal.Offset(0, palette::kHoverOffset);
    AddButton(normal, normal, lit, lit, kFirstCellId + cell);
  }
}

void SelectColorDlg::DrawBackground() {
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  p.DrawImage(*skin(), gfx::Rect{0, 0, kWidth, kHeight}, gfx::Point{0, 0});
}

void SelectColorDlg::Pick(int cell) {
  const gfx::Color color = CellColor(cell);
  if (LayerWnd* owner = owner_.get()) owner->OnColorPicked(request_id_, color);
  PostClose();
}

void SelectColorDlg::OnControlEvent(LayerControl* control, int code) {
  const int cell = code - kFirstCellId;
  if (control && cell >= 0 && cell < palette::kColumns * palette::kRows) Pick(cell);
}

void SelectColorDlg::OnDestroy() {
  // The popup is gone once this returns; its owner deletes the object outside this stack.
  PopupOwner::ReleaseAnywhere(this);
}

}  // namespace quillo::ui
