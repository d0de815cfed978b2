#include "ui/dialogs/PromptMessageBoxDlg.h"

namespace quillo::ui {

PromptMessageBoxDlg::PromptMessageBoxDlg(std::string title, std::string message,
                                         std::optional<std::string> initial_text)
    : LayerMessageBoxDlg(std::move(title), std::move(message)),
      initial_text_(std::move(initial_text)),
      edit_(*this, gfx::Rect{}) {}

PromptMessageBoxDlg::~PromptMessageBoxDlg() {
  Destroy();
}

void PromptMessageBoxDlg::Layout() {
  LayerMessageBoxDlg::Layout();
  set_height(height() + 25);
}

void PromptMessageBoxDlg::InitLayer() {
  LayerMessageBoxDlg::InitLayer();
  AddLeftButton("确定", kOk);
  AddRightButton("取消", kCancel);
  edit_.SetRect(EditRect(text_height()));
  edit_.SetText(initial_text_.value_or(""));
  edit_.SetOnActivate([this] {
    if (LayerControl* ok = FindControl(kOk)) PostLayerEvent(ok, kOk);
  });
  if (edit_.Create()) {
    edit_.SelectAll();
    edit_.Focus();
  }
}

void PromptMessageBoxDlg::DrawBackground() {
  LayerMessageBoxDlg::DrawBackground();
  gfx::Painter p(back_buffer());
  gfx::Color frame = MessageColor();
  frame.a = 255;
  p.StrokeRect(gfx::Rect::FromXYWH(26, text_height() + 45, 232, 22), frame);
  edit_.CopyIntoOwner();
}

void PromptMessageBoxDlg::OnControlEvent(LayerControl* control, int code) {
  if (code == kOk) result_text_ = edit_.Text();
  if (code == kOk || code == kCancel) return Answer(code);
  LayerMessageBoxDlg::OnControlEvent(control, code);
}

void PromptMessageBoxDlg::OnDestroy() {
  edit_.Destroy();
}

}  // namespace quillo::ui
