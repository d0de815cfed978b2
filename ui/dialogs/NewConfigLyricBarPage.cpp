#include "ui/dialogs/NewConfigLyricBarPage.h"

#include "platform/gfx/GradientText.h"
#include "store/ConfigKeys.h"
#include "ui/dialogs/NewConfigDlg.h"
#include "ui/dialogs/NewConfigPreviews.h"
#include "ui/lyricviews/LyricBarLook.h"

namespace quillo::ui {
namespace keys = store::keys;
namespace {
constexpr int kSchemeSize = 28;

gfx::Rect SchemeRect(int scheme) {
  return gfx::Rect::FromXYWH(216 + 60 * scheme, 199, kSchemeSize, kSchemeSize);
}
std::string AlignText(const std::string& value) {
  return value == "left" ? "左对齐" : "中对齐";
}
}  // namespace

std::vector<int> NewConfigLyricBarPage::AddControls() {
  dlg_.AddDropDown(gfx::Rect{215, 86, 335, 106}, "", kChineseFont);
  dlg_.AddDropDown(gfx::Rect{405, 86, 525, 106}, "", kLatinFont);
  dlg_.AddDropDown(gfx::Rect{215, 116, 275, 136}, "", kSize);
  dlg_.AddDropDown(gfx::Rect{405, 116, 485, 136}, "", kAlign);
  dlg_.AddToggle(ControlKind::kCheckBox, gfx::Rect::FromXYWH(162, 150, 13, 13), kKaraoke, true);
  dlg_.AddLinkedLabel(gfx::Rect{180, 146, 340, 166}, "启用卡拉OK模式", kKaraokeLabel, kKaraoke);
  std::vector<int> ids = {kChineseFont, kLatinFont, kSize, kAlign, kKaraoke, kKaraokeLabel};
  for (int scheme = 0; scheme < kLyricBarSchemeCount; ++scheme) {
    LayerControl& swatch = dlg_.AddButton(SchemeRect(scheme), {}, {}, {}, kFirstScheme + scheme,
                                          kLyricBarSchemes[std::size_t(scheme)].tooltip);
    ids.push_back(swatch.id);
  }
  dlg_.AddTextButton(gfx::Rect{175, 372, 245, 392}, "恢复默认", kDefaults);
  ids.push_back(kDefaults);
  return ids;
}

void NewConfigLyricBarPage::Refresh() {
  const NewConfigWorkingCopy& w = dlg_.working();
  auto set_text = [this](int id, std::string text) {
    if (LayerControl* c = dlg_.FindControl(id)) c->text = std::move(text);
  };
  set_text(kChineseFont, w.Get(keys::kLyricBarChnFont));
  set_text(kLatinFont, w.Get(keys::kLyricBarEngFont));
  set_text(kSize, w.Get(keys::kLyricBarFontSize));
  set_text(kAlign, AlignText(w.Get(keys::kLyricBarTextAlign)));
  if (LayerControl* c = dlg_.FindControl(kKaraoke)) c->checked = w.IsTrue(keys::kLyricBarKaraMode);
}

void NewConfigLyricBarPage::Draw(gfx::Painter& painter) {
  dlg_.DrawSection(painter, 65, "显示");
  dlg_.DrawText(painter, gfx::Rect{160, 86, 212, 106}, "中文字体");
  dlg_.DrawText(painter, gfx::Rect{350, 86, 402, 106}, "英文字体");
  dlg_.DrawText(painter, gfx::Rect{160, 116, 212, 136}, "字号");
  dlg_.DrawText(painter, gfx::Rect{350, 116, 402, 136}, "对齐");
  dlg_.DrawSection(painter, 175, "颜色");
  dlg_.DrawSection(painter, 272, "预览");
  painter.FillRect(kPreview, gfx::Color{40, 44, 52, 255});
  NewConfigPreviews::DrawLyricBar(dlg_.back_buffer(), kPreview, dlg_.working());
}

bool NewConfigLyricBarPage::DrawControl(gfx::Painter& painter, const LayerControl& control) {
  const int scheme = control.id - kFirstScheme;
  if (scheme < 0 || scheme >= kLyricBarSchemeCount) return false;
  const LyricBarScheme& colors = kLyricBarSchemes[std::size_t(scheme)];
  const gfx::Rect& r = control.bounds;
  // The unsung gradient over the top half, the sung one over the bottom half.
  for (int y = r.top + 2; y < r.bottom - 2; ++y) {
    const bool top_half = y < r.top + kSchemeSize / 2;
    const gfx::Color a = top_half ? colors.unsung_top : colors.sung_top;
    const gfx::Color b = top_half ? colors.unsung_bottom : colors.sung_bottom;
    const int span = kSchemeSize / 2 - 2;
    const int step = top_half ? y - r.top - 2 : y - r.top - kSchemeSize / 2;
    auto mix = [&](std::uint8_t from, std::uint8_t to) {
      return static_cast<std::uint8_t>(from + (to - from) * step / std::max(1, span));
    };
    painter.FillRect(gfx::Rect{r.left + 2, y, r.right - 2, y + 1},
                     gfx::Color::Rgb(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)));
  }
  const bool selected = dlg_.working().Get(keys::kLyricBarColor) == std::to_string(scheme);
  if (selected) {
    painter.StrokeRect(r, gfx::Color{0, 0, 0, 255});
    painter.StrokeRect(gfx::Rect{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1},
                       gfx::Color{255, 255, 255, 255});
  } else if (control.hovered) {
    painter.StrokeRect(r, gfx::Color{150, 150, 150, 255});
  }
  return true;
}

bool NewConfigLyricBarPage::OnControl(int id) {
  NewConfigWorkingCopy& w = dlg_.working();
  const std::vector<std::string>& fonts = dlg_.fonts();
  switch (id) {
    case kLatinFont:
      dlg_.OpenDropDown(id, kLatinFontList, fonts, w.Get(keys::kLyricBarEngFont));
      return true;
    case kChineseFont:
      dlg_.OpenDropDown(id, kChineseFontList, fonts, w.Get(keys::kLyricBarChnFont));
      return true;
    case kSize:
      dlg_.OpenDropDown(id, kSizeList, NewConfigDlg::LyricBarSizes(), w.Get(keys::kLyricBarFontSize));
      return true;
    case kAlign:
      dlg_.OpenDropDown(id, kAlignList, NewConfigDlg::Alignments(),
                        AlignText(w.Get(keys::kLyricBarTextAlign)));
      return true;
    case kKaraoke:
      w.Toggle(keys::kLyricBarKaraMode);
      break;
    case kDefaults:
      w.RestoreLyricBarDefaults();
      break;
    default:
      if (id < kFirstScheme || id >= kFirstScheme + kLyricBarSchemeCount) return false;
      w.Set(keys::kLyricBarColor, std::to_string(id - kFirstScheme));
      break;
  }
  Refresh();
  dlg_.Redraw();
  return true;
}

void NewConfigLyricBarPage::OnPopupChosen(int popup_id, int index) {
  NewConfigWorkingCopy& w = dlg_.working();
  const auto at = [index](const std::vector<std::string>& list) {
    return index < int(list.size()) ? list[std::size_t(index)] : std::string();
  };
  switch (popup_id) {
    case kLatinFontList:
      if (index < int(dlg_.fonts().size())) w.Set(keys::kLyricBarEngFont, at(dlg_.fonts()));
      break;
    case kChineseFontList:
      if (index < int(dlg_.fonts().size())) w.Set(keys::kLyricBarChnFont, at(dlg_.fonts()));
      break;
    case kSizeList:
      if (index < int(NewConfigDlg::LyricBarSizes().size()))
        w.Set(keys::kLyricBarFontSize, at(NewConfigDlg::LyricBarSizes()));
      break;
    case kAlignList:
      w.Set(keys::kLyricBarTextAlign, index == 0 ? "left" : "middle");
      break;
    default:
      return;
  }
  Refresh();
  dlg_.Redraw();
}

}  // namespace quillo::ui
