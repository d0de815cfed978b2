#include "ui/dialogs/SelectMessageBoxDlg.h"

#include <algorithm>

#include "platform/gfx/TextMeasure.h"

namespace quillo::ui {

SelectMessageBoxDlg::SelectMessageBoxDlg(std::string title, std::string message,
                                         std::vector<std::string> options, std::string preselected)
    : LayerMessageBoxDlg(std::move(title), std::move(message)),
      options_(std::move(options)),
      preselected_(std::move(preselected)) {}

void SelectMessageBoxDlg::Layout() {
  LayerMessageBoxDlg::Layout();
  set_height(height() + 20 * int(options_.size()));
}

void SelectMessageBoxDlg::InitLayer() {
  LayerMessageBoxDlg::InitLayer();
  int y0 = text_height() + 46;
  for (int i = 0; i < int(options_.size()); ++i) {
    const std::string& text = options_[std::size_t(i)];
    AddToggle(ControlKind::kRadio, gfx::Rect::FromXYWH(27, y0 + 20 * i + 2, 12, 12), RadioId(i),
              text == preselected_);
    int width = std::min(300, gfx::TextMeasure::Width(text, MessageFont()));
    AddLinkedLabel(gfx::Rect::FromXYWH(47, y0 + 20 * i + 3, width, 15), text, LabelId(i),
                   RadioId(i));
  }
  AddLeftButton("确定", kOk);
  AddRightButton("取消", kCancel);
}

int SelectMessageBoxDlg::FirstChecked() {
  for (int i = 0; i < int(options_.size()); ++i) {
    LayerControl* radio = FindControl(RadioId(i));
    if (radio && radio->checked) return i;
  }
  return -1;
}

void SelectMessageBoxDlg::OnControlEvent(LayerControl* control, int code) {
  if (code >= RadioId(0) && code < RadioId(int(options_.size())) && (code - 8) % 2 == 0) {
    for (int i = 0; i < int(options_.size()); ++i) SetChecked(RadioId(i), RadioId(i) == code);
    return;
  }
  if (code == kOk) {
    int checked = FirstChecked();
    // With nothing checked there is no answer to give: the box stays open.
    if (checked < 0) return;
    chosen_index_ = checked;
  }
  if (code == kOk || code == kCancel) return Answer(code);
  LayerMessageBoxDlg::OnControlEvent(control, code);
}

}  // namespace quillo::ui
