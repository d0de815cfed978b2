#include "ui/dialogs/CopyDeviceConfirmList.h"

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/SkinManager.h"

namespace quillo::ui {
namespace m = skin::main;

CopyDeviceConfirmList::CopyDeviceConfirmList(LayerWnd& owner, const gfx::Rect& bounds,
                                             std::vector<std::string> names)
    : LayerListViewS(owner, bounds, kRowHeight, kScrollBarWidth), names_(std::move(names)) {}

int CopyDeviceConfirmList::NumberColumnWidth(int row_count) {
  return row_count >= 1000 ? 40 : row_count >= 100 ? 30 : 20;
}

void CopyDeviceConfirmList::DrawRow(gfx::Painter& p, int index, int x, int y, const gfx::Rect&,
                                    bool selected) {
  SkinManager& skins = SkinManager::Instance();
  const gfx::Surface& palette = *skins.Image(skins.style_image(), true);
  auto color = [&palette](gfx::Point at) {
    gfx::Color c = SkinManager::PixelColor(palette, at.x, at.y);
    return c;
  };
  gfx::Rect row{x, y, RowArea().right, y + row_height()};
  gfx::Color fill = color(selected    ? m::kSelectionPixel
                          : index % 2 ? m::kRowOddPixel
                                      : m::kRowEvenPixel);
  fill.a = 255;
  p.FillRectSource(row, fill);
  gfx::Color ink = color(selected ? m::kSelectionTextPixel : m::kTextPixel);
  gfx::Font font = gfx::Font::Points("宋体", 9);
  int column = NumberColumnWidth(RowCount());
  gfx::TextOptions centred;
  centred.align = gfx::TextAlign::kCenter;
  centred.vertical_center = true;
  p.DrawText(std::to_string(index + 1), font, ink, gfx::Rect{x, y, x + column, row.bottom},
             centred);
  gfx::TextOptions name_options;
  name_options.vertical_center = true;
  name_options.ellipsize = true;
  p.DrawText(names_[std::size_t(index)], font, ink,
             gfx::Rect{x + column + 4, y, row.right - 2, row.bottom}, name_options);
}

}  // namespace quillo::ui
