#include "ui/lists/FilterEdit.h"

#include "platform/loop/MainLoop.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui::lists {

FilterEdit::FilterEdit(LayerWnd& owner, const gfx::Rect& rect,
                       std::function<void(const std::string&)> apply)
    : LayerEdit(owner, rect), owner_(owner), apply_(std::move(apply)) {}

FilterEdit::~FilterEdit() = default;

void FilterEdit::OnEditChanged() {
  LayerEdit::OnEditChanged();
  if (on_change_) on_change_();
  if (loop::MainLoop* loop = loop::MainLoop::Instance()) {
    if (!timer_) timer_ = std::make_unique<loop::LoopTarget>(*loop);
    // Setting the id again restarts it: typing fast filters once, after the last key.
    timer_->SetTimer(kFilterTimerId, std::chrono::milliseconds(kFilterDelayMs),
                     [this] { OnTimerFired(); });
    pending_ = true;
  }
}

void FilterEdit::OnTimerFired() {
  if (timer_) timer_->KillTimer(kFilterTimerId);
  pending_ = false;
  ++applied_count_;
  if (apply_) apply_(Text());
}

void FilterEdit::FireNow() {
  if (pending_) OnTimerFired();
}

void FilterEdit::OnEditFocus(bool focused) {
  LayerEdit::OnEditFocus(focused);
  highlighted_ = focused;
  DrawFrame();
}

void FilterEdit::DrawFrame() {
  if (!owner_.IsCreated()) return;
  namespace m = skin::main;
  const gfx::Rect& r = rect();
  gfx::Rect frame{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  gfx::Color colour =
      highlighted_ ? owner_.SkinColor(m::kAccentPixel) : owner_.SkinColor(m::kRowOddPixel);
  {
    gfx::Painter painter(owner_.back_buffer());
    painter.StrokeRect(frame, colour);
  }
  owner_.SetNeedsUpdate();
}

}  // namespace quillo::ui::lists
