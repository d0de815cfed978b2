#pragma once
// A choice among options: one radio button (id 8 + 2i) with a linked label (id 9 + 2i) per
// option, "确定" (id 6) and "取消" (id 7). The option equal to the preselected text starts
// checked; "确定" takes the first checked option.
#include <string>
#include <vector>

#include "ui/dialogs/LayerMessageBoxDlg.h"

namespace quillo::ui {

class SelectMessageBoxDlg : public LayerMessageBoxDlg {
 public:
  static constexpr int kOk = 6;
  static constexpr int kCancel = 7;
  static constexpr int RadioId(int option) { return 8 + 2 * option; }
  static constexpr int LabelId(int option) { return 9 + 2 * option; }

  SelectMessageBoxDlg(std::string title, std::string message, std::vector<std::string> options,
                      std::string preselected);

  void Layout() override;
  void InitLayer() override;
  void OnControlEvent(LayerControl* control, int code) override;

  // The index "确定" chose, or -1 before.
  int chosen_index() const { return chosen_index_; }
  // The index of the first checked option, or -1.
  int FirstChecked();

 private:
  std::vector<std::string> options_;
  std::string preselected_;
  int chosen_index_ = -1;
};

}  // namespace quillo::ui
