#include "ui/dialogs/NewConfigLyricWindowPage.h"

#include "store/ConfigKeys.h"
#include "ui/dialogs/NewConfigDlg.h"
#include "ui/dialogs/NewConfigPreviews.h"

namespace quillo::ui {
namespace keys = store::keys;
namespace {
std::string_view ColorKey(int control_id) {
  switch (control_id) {
    case NewConfigLyricWindowPage::kTextColor:
      return keys::kLyricDlgFColor;
    case NewConfigLyricWindowPage::kCurrentColor:
      return keys::kLyricDlgCColor;
    default:
      return keys::kLyricDlgBColor;
  }
}
}  // namespace

std::vector<int> NewConfigLyricWindowPage::AddControls() {
  dlg_.AddButton(gfx::Rect{215, 86, 255, 106}, {}, {}, {}, kTextColor, "字体颜色");
  dlg_.AddButton(gfx::Rect{335, 86, 375, 106}, {}, {}, {}, kCurrentColor, "当前歌词");
  dlg_.AddButton(gfx::Rect{455, 86, 495, 106}, {}, {}, {}, kBackgroundColor, "背景颜色");
  dlg_.AddDropDown(gfx::Rect{215, 116, 335, 136}, "", kFont);
  dlg_.AddDropDown(gfx::Rect{405, 116, 465, 136}, "", kSize);
  dlg_.AddTextButton(gfx::Rect{175, 372, 245, 392}, "恢复默认", kDefaults);
  return {kTextColor, kCurrentColor, kBackgroundColor, kFont, kSize, kDefaults};
}

void NewConfigLyricWindowPage::Refresh() {
  const NewConfigWorkingCopy& w = dlg_.working();
  if (LayerControl* c = dlg_.FindControl(kFont)) c->text = w.Get(keys::kLyricDlgFont);
  if (LayerControl* c = dlg_.FindControl(kSize)) c->text = w.Get(keys::kLyricDlgFontSizePt);
}

void NewConfigLyricWindowPage::Draw(gfx::Painter& painter) {
  dlg_.DrawSection(painter, 65, "歌词样式");
  dlg_.DrawText(painter, gfx::Rect{160, 86, 212, 106}, "字体颜色");
  dlg_.DrawText(painter, gfx::Rect{280, 86, 332, 106}, "当前歌词");
  dlg_.DrawText(painter, gfx::Rect{400, 86, 452, 106}, "背景颜色");
  dlg_.DrawText(painter, gfx::Rect{160, 116, 212, 136}, "字体");
  dlg_.DrawText(painter, gfx::Rect{350, 116, 402, 136}, "字体大小");
  dlg_.DrawText(painter, gfx::Rect{470, 116, 490, 136}, "磅");
  dlg_.DrawSection(painter, 160, "预览");
  NewConfigPreviews::DrawLyricWindow(dlg_.back_buffer(), kPreview, dlg_.working());
}

bool NewConfigLyricWindowPage::DrawControl(gfx::Painter& painter, const LayerControl& control) {
  if (control.id != kTextColor && control.id != kCurrentColor && control.id != kBackgroundColor)
    return false;
  const gfx::Rect& r = control.bounds;
  painter.FillRectSource(r, dlg_.working().ColorOf(ColorKey(control.id)));
  painter.StrokeRect(r, control.hovered ? gfx::Color{120, 120, 120, 255}
                                        : gfx::Color{187, 187, 187, 255});
  return true;
}

bool NewConfigLyricWindowPage::OnControl(int id) {
  NewConfigWorkingCopy& w = dlg_.working();
  switch (id) {
    case kTextColor:
      dlg_.OpenColorPopup(id, kTextRequest);
      return true;
    case kCurrentColor:
      dlg_.OpenColorPopup(id, kCurrentRequest);
      return true;
    case kBackgroundColor:
      dlg_.OpenColorPopup(id, kBackgroundRequest);
      return true;
    case kFont:
      dlg_.OpenDropDown(id, kFontList, dlg_.fonts(), w.Get(keys::kLyricDlgFont));
      return true;
    case kSize:
      dlg_.OpenDropDown(id, kSizeList, NewConfigDlg::LyricWindowSizes(),
                        w.Get(keys::kLyricDlgFontSizePt));
      return true;
    case kDefaults:
      w.RestoreLyricWindowDefaults();
      Refresh();
      dlg_.Redraw();
      return true;
    default:
      return false;
  }
}

void NewConfigLyricWindowPage::OnPopupChosen(int popup_id, int index) {
  NewConfigWorkingCopy& w = dlg_.working();
  if (popup_id == kFontList && index < int(dlg_.fonts().size())) {
    w.Set(keys::kLyricDlgFont, dlg_.fonts()[std::size_t(index)]);
  } else if (popup_id == kSizeList && index < int(NewConfigDlg::LyricWindowSizes().size())) {
    w.Set(keys::kLyricDlgFontSizePt, NewConfigDlg::LyricWindowSizes()[std::size_t(index)]);
  } else {
    return;
  }
  Refresh();
  dlg_.Redraw();
}

void NewConfigLyricWindowPage::OnColorPicked(int request_id, gfx::Color color) {
  std::string_view key;
  switch (request_id) {
    case kTextRequest:
      key = keys::kLyricDlgFColor;
      break;
    case kCurrentRequest:
      key = keys::kLyricDlgCColor;
      break;
    case kBackgroundRequest:
      key = keys::kLyricDlgBColor;
      break;
    default:
      return;
  }
  dlg_.working().SetColor(key, color);
  dlg_.Redraw();
}

}  // namespace quillo::ui
