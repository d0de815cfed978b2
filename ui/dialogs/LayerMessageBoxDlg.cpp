#include "ui/dialogs/LayerMessageBoxDlg.h"

#include "platform/gfx/TextMeasure.h"
#include "resources/skins/SkinLayout.h"

namespace quillo::ui {
namespace message = skin::message;

LayerMessageBoxDlg::LayerMessageBoxDlg(std::string title, std::string message)
    : LayerDlg(skin::kMessageBox), message_(std::move(message)) {
  SetTitle(std::move(title));
  SetButtonBandHeight(kButtonBand);
  SetHasCloseButton(false);
}

void LayerMessageBoxDlg::Layout() {
  width_ = kWidth;
  gfx::Size measured = gfx::TextMeasure::Measure(message_, MessageFont(), kTextWidth, true);
  // The measuring box is 1000 pixels high: a longer message is cut there.
  text_width_ = kTextWidth;
  text_height_ = std::min(measured.height, 1000) + 5;
  height_ = kTitleBand + text_height_ + kButtonBand + kMarginBottom + 40;
}

void LayerMessageBoxDlg::InitLayer() {
  int s = message::kCloseSize;
  AddButton(gfx::Rect::FromXYWH(ClientSize().width - 24, 5, s, s),
            gfx::Rect::FromXYWH(message::kCloseNormal.x, message::kCloseNormal.y, s, s),
            gfx::Rect::FromXYWH(message::kCloseHover.x, message::kCloseHover.y, s, s),
            gfx::Rect::FromXYWH(message::kClosePressed.x, message::kClosePressed.y, s, s), kCloseId,
            "关闭");
}

void LayerMessageBoxDlg::AddLeftButton(const std::string& text, int id) {
  AddTextButton(
      gfx::Rect::FromXYWH(kLeftButtonX, ClientSize().height - 33, kButtonWidth, kButtonHeight),
      text, id);
}

void LayerMessageBoxDlg::AddRightButton(const std::string& text, int id) {
  AddTextButton(
      gfx::Rect::FromXYWH(kRightButtonX, ClientSize().height - 33, kButtonWidth, kButtonHeight),
      text, id);
}

gfx::Color LayerMessageBoxDlg::MessageColor() const {
  return SkinColor(message::kMessageTextPixel);
}

void LayerMessageBoxDlg::DrawBackground() {
  gfx::Painter p(back_buffer());
  DrawFrame(p);
  gfx::Size s = ClientSize();
  gfx::Color fill = SkinColor(message::kFillPixel);
  fill.a = 255;  // the inside is opaque
  p.FillRectSource(gfx::Rect{kMarginLeft, kTitleBand, s.width - kMarginRight,
                             s.height - kBottomBand - kButtonBand},
                   fill);
  DrawTitle(p, kTitleOrigin);
  gfx::TextOptions options;
  options.wrap = true;
  p.DrawText(message_, MessageFont(), MessageColor(),
             gfx::Rect::FromXYWH(27, 48, text_width_, text_height_), options);
}

void LayerMessageBoxDlg::Answer(int code) {
  result_ = code;
  PostClose();
}

void LayerMessageBoxDlg::OnControlEvent(LayerControl*, int code) {
  if (code == 0 || code == kCloseId) PostClose();
}

}  // namespace quillo::ui
