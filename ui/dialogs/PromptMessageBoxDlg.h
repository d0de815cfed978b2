#pragma once
// A question with a text field: "确定" (id 3) copies the field's text to the result text,
// "取消" (id 4) does not. Enter in the field acts as "确定".
#include <optional>
#include <string>

#include "ui/dialogs/LayerMessageBoxDlg.h"
#include "ui/toolkit/LayerEdit.h"

namespace quillo::ui {

class PromptMessageBoxDlg : public LayerMessageBoxDlg {
 public:
  static constexpr int kOk = 3;
  static constexpr int kCancel = 4;

  PromptMessageBoxDlg(std::string title, std::string message,
                      std::optional<std::string> initial_text);
  ~PromptMessageBoxDlg() override;

  void Layout() override;
  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(LayerControl* control, int code) override;
  void OnDestroy() override;

  const std::string& result_text() const { return result_text_; }
  LayerEdit& edit() { return edit_; }
  // The field's rectangle for a text area height.
  static gfx::Rect EditRect(int text_height) { return gfx::Rect{27, text_height + 46, 257, text_height + 66}; }

 private:
  std::optional<std::string> initial_text_;
  std::string result_text_;
  LayerEdit edit_;
};

}  // namespace quillo::ui
