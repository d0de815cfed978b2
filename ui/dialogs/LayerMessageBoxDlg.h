#pragma once
// The skinned message boxes: a LayerDlg on skin 184, 350 pixels wide, its height computed by
// Layout from the wrapped message, a 30-pixel button band and a close button (3000) of its own.
// Subclasses add their answer buttons. Window thread.
#include <string>

#include "platform/gfx/Font.h"
#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {

class LayerMessageBoxDlg : public LayerDlg {
 public:
  static constexpr const char* kCaption = "Zelbo音乐提示您";
  static constexpr int kNoResult = -1;
  static constexpr int kCloseId = 3000;
  static constexpr int kWidth = 350;
  static constexpr int kTextWidth = 296;
  static constexpr int kButtonBand = 30;
  static constexpr int kButtonWidth = 64;
  static constexpr int kButtonHeight = 20;
  static constexpr int kLeftButtonX = 199;
  static constexpr int kRightButtonX = 273;
  static gfx::Font MessageFont() { return gfx::Font::Points("宋体", 9); }

  LayerMessageBoxDlg(std::string title, std::string message);

  // Computes the text area and the window height before the window is made.
  virtual void Layout();

  const std::string& message() const { return message_; }
  int width() const { return width_; }
  int height() const { return height_; }
  gfx::Size size() const { return gfx::Size{width_, height_}; }
  int text_width() const { return text_width_; }
  int text_height() const { return text_height_; }
  // The id of the button that closed the box, or kNoResult.
  int result() const { return result_; }

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;

 protected:
  void AddLeftButton(const std::string& text, int id);
  void AddRightButton(const std::string& text, int id);
  void Answer(int code);
  void set_height(int height) { height_ = height; }
  gfx::Color MessageColor() const;

 private:
  std::string message_;
  int width_ = kWidth;
  int height_ = 0;
  int text_width_ = kTextWidth;
  int text_height_ = 20;
  int result_ = kNoResult;
};

}  // namespace quillo::ui
