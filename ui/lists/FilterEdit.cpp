#include "ui/lists/FilterEdit.h"

#include "ui/lists/ListColors.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui::lists {

FilterEdit::FilterEdit(LayerWnd& owner, const gfx::Rect& rect,
                       std::function<void(const std::string&)> apply)
    : LayerEdit(owner, rect), owner_(owner), apply_(std::move(apply)) {}

FilterEdit::~FilterEdit() = default;

void FilterEdit::OnEditChanged() {
  LayerEdit::OnEditChanged();
  if (on_change_) on_change_();
  // Starting it again restarts it: typing fast filters once, after the last key.
  filter_timer_.Start(std::chrono::milliseconds(kFilterDelayMs), [this] { OnTimerFired(); });
}

void FilterEdit::OnTimerFired() {
  filter_timer_.Stop();
  ++applied_count_;
  if (apply_) apply_(Text());
}

void FilterEdit::FireNow() {
  if (filter_timer_.IsRunning()) OnTimerFired();
}

void FilterEdit::OnEditFocus(bool focused) {
  LayerEdit::OnEditFocus(focused);
  highlighted_ = focused;
  DrawFrame();
  if (focused && on_focus_) on_focus_();
}

void FilterEdit::DrawFrame() {
  if (!owner_.IsCreated()) return;
  const gfx::Rect& r = rect();
  gfx::Rect frame{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  gfx::Color colour =
      highlighted_ ? ListColors::Of(owner_).accent : ListColors::Of(owner_).selection;
  {
    gfx::Painter painter(owner_.back_buffer());
    painter.StrokeRect(frame, colour);
  }
  owner_.SetNeedsUpdate();
}

}  // namespace quillo::ui::lists
