#pragma once
// A framed skinned dialog: a 28-pixel title band (left corner, stretched middle, right corner),
// 7-pixel side borders, a 12-pixel bottom band, an optional button band above it, the title
// text and a close button (control 2000) at the top right that follows the right edge.
#include <string>

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

class LayerDlg : public LayerWnd {
 public:
  static constexpr int kCloseButtonId = 2000;
  static constexpr int kMarginLeft = 7;
  static constexpr int kMarginRight = 7;
  static constexpr int kMarginTop = 28;
  static constexpr int kMarginBottom = 13;
  static constexpr int kTitleBand = 28;
  static constexpr int kBottomBand = 12;
  static constexpr gfx::Point kTitleOrigin{31, 9};

  explicit LayerDlg(int skin_id = skin::kDialogFrame, bool recolourable = true);

  void SetTitle(std::string title);
  const std::string& title() const { return title_; }
  void SetButtonBandHeight(int pixels) { button_band_height_ = pixels; }
  int button_band_height() const { return button_band_height_; }
  // A resizable dialog shows its grip and resizes from it.
  void SetResizable(bool resizable) { resizable_ = resizable; }
  // The dialog's inside: the window less the margins.
  gfx::Rect ClientArea() const;

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnSize(gfx::Size size) override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  bool OnKeyDown(const window::KeyEvent& e) override;

 protected:
  // Whether InitLayer adds the 2000 close button (message boxes have their own).
  void SetHasCloseButton(bool has) { has_close_button_ = has; }
  void DrawFrame(gfx::Painter& painter);
  void DrawTitle(gfx::Painter& painter, gfx::Point origin);

 private:
  std::string title_;
  int button_band_height_ = 0;
  bool resizable_ = false;
  bool has_close_button_ = true;
};

}  // namespace quillo::ui
