#include "ui/dialogs/NumRangeEdit.h"

#include <algorithm>
#include <string>

#include "platform/text/TextUtil.h"

namespace quillo::ui {

NumRangeEdit::NumRangeEdit(LayerWnd& owner, const gfx::Rect& rect, int minimum, int maximum)
    : LayerEdit(owner, rect), minimum_(minimum), maximum_(std::max(minimum, maximum)),
      value_(minimum) {}

void NumRangeEdit::SetValue(int value) {
  value_ = std::clamp(value, minimum_, maximum_);
  SetText(std::to_string(value_));
}

int NumRangeEdit::Commit() {
  const std::optional<int> typed = text::LeadingNumber(Text());
  SetValue(typed.value_or(value_));
  CopyIntoOwner();
  if (on_commit_) on_commit_(value_);
  return value_;
}

void NumRangeEdit::OnEditFocus(bool focused) {
  LayerEdit::OnEditFocus(focused);
  if (!focused) Commit();
}

void NumRangeEdit::OnEditActivate() {
  Commit();
  LayerEdit::OnEditActivate();
}

}  // namespace quillo::ui
