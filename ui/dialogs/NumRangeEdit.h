#pragma once
// A number field with a range: when it loses the focus (or Enter is pressed) its text is read
// by the leading-number rule, clamped into minimum..maximum, written back as decimal text and
// reported. Text without a leading number keeps the last valid value (it does not become the
// minimum: a slip of the keyboard should not lose the user's count).
//
// Window thread; the owner window outlives it and destroys it in its OnDestroy (as LayerEdit).
#include <functional>

#include "ui/toolkit/LayerEdit.h"

namespace quillo::ui {

class NumRangeEdit : public LayerEdit {
 public:
  NumRangeEdit(LayerWnd& owner, const gfx::Rect& rect, int minimum, int maximum);

  // Shows the value (clamped) and remembers it as the last valid one.
  void SetValue(int value);
  int value() const { return value_; }
  // Runs after every commit with the committed value.
  void SetOnCommit(std::function<void(int)> on_commit) { on_commit_ = std::move(on_commit); }
  // Reads, clamps, writes back and reports (what losing the focus does).
  int Commit();

  void OnEditFocus(bool focused) override;
  void OnEditActivate() override;

 private:
  int minimum_;
  int maximum_;
  int value_;
  std::function<void(int)> on_commit_;
};

}  // namespace quillo::ui
