#pragma once
// The theme colour picker: a popup (skin 180, 266 × 76) with nine preset buttons (ids 4 … 12);
// clicking preset n hands style n to the style handler (the main window applies it). At most
// one picker exists; it closes when it loses activation. The window it was opened for owns it
// (PopupOwner); the picker reaches that window only while it lives. Window thread.
#include <functional>

#include "ui/toolkit/LayerPopup.h"
#include "ui/toolkit/WindowRef.h"

namespace quillo::ui {

class ColorPicker : public LayerPopup {
 public:
  static constexpr int kWidth = 266;
  static constexpr int kHeight = 76;
  static constexpr int kFirstPresetId = 4;
  // The main window's colour button, redrawn when the picker closes.
  static constexpr int kOwnerColorButtonId = 18;

  explicit ColorPicker(LayerWnd* owner);

  // Opens the picker at the screen point, owned by `owner` (the main window when null), or
  // only brings the open one to the top without moving it. Answers the picker.
  static ColorPicker* Show(int x, int y, LayerWnd* owner = nullptr);
  // The open picker, or null.
  static ColorPicker* Current();
  // Who applies a chosen style (the main window sets it).
  static void SetStyleHandler(std::function<void(int style)> handler);

  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnDestroy() override;

 private:
  WindowRef owner_;
};

// ShowColorPicker of the message-box family: the same as ColorPicker::Show.
inline ColorPicker* ShowColorPicker(int x, int y, LayerWnd* owner = nullptr) {
  return ColorPicker::Show(x, y, owner);
}

}  // namespace quillo::ui
