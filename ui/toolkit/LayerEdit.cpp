#include "ui/toolkit/LayerEdit.h"

#include "platform/gfx/Painter.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

LayerEdit::LayerEdit(LayerWnd& owner, const gfx::Rect& rect, gfx::Font font)
    : owner_(owner), rect_(rect), font_(std::move(font)) {}

LayerEdit::~LayerEdit() { Destroy(); }

bool LayerEdit::Create() {
  if (host_ || !owner_.presenter()) return false;
  host_ = owner_.presenter()->CreateEdit(rect_, font_);
  if (!host_) return false;
  host_->SetText(pending_text_);
  if (echo_ != 0) host_->SetEcho(echo_);
  host_->SetListener(this);
  CopyIntoOwner();
  return true;
}

void LayerEdit::Destroy() {
  caret_timer_.Stop();
  if (host_) {
    pending_text_ = host_->Text();
    host_->SetListener(nullptr);
    host_.reset();
  }
}

void LayerEdit::SetText(const std::string& text) {
  pending_text_ = text;
  if (host_) host_->SetText(text);
}

std::string LayerEdit::Text() const { return host_ ? host_->Text() : pending_text_; }

void LayerEdit::SetEcho(char32_t echo) {
  echo_ = echo;
  if (host_) {
    host_->SetEcho(echo);
    CopyIntoOwner();
  }
}

void LayerEdit::SelectAll() {
  if (host_) host_->SelectAll();
}

void LayerEdit::Focus() {
  if (host_) host_->Focus();
}

bool LayerEdit::HasFocus() const { return host_ && host_->HasFocus(); }

void LayerEdit::SetRect(const gfx::Rect& rect) {
  rect_ = rect;
  if (host_) host_->SetRect(rect);
  CopyIntoOwner();
}

bool LayerEdit::CopyIntoOwner() {
  gfx::Surface& buffer = owner_.back_buffer();
  if (buffer.IsNull()) return false;
  gfx::Painter painter(buffer);
  // Rendered again each time, caret ticks included: a selection or an input method's text
  // changes the entry without a change of its text.
  gfx::Surface pixels = host_ ? host_->Render() : gfx::Surface();
  painter.FillRectSource(rect_, gfx::Color{255, 255, 255, 255});
  if (!pixels.IsNull()) {
    painter.DrawImage(pixels, gfx::Rect{0, 0, pixels.width(), pixels.height()},
                      gfx::Point{rect_.left, rect_.top});
  }
  if (caret_shown_ && host_) {
    int x = rect_.left + host_->CaretX();
    int top = rect_.top + (rect_.height() - 10) / 2;
    painter.FillRectSource(gfx::Rect{x, top, x + 1, top + 10}, gfx::Color{0, 0, 0, 255});
  }
  owner_.SetNeedsUpdate();
  return !pixels.IsNull();
}

void LayerEdit::StartBlinking() {
  caret_ticks_ = 0;
  caret_timer_.Start(std::chrono::milliseconds(kCaretBlinkMs), [this] { OnCaretTick(); });
}

void LayerEdit::OnEditChanged() {
  // Typing keeps the caret visible: the blink starts over.
  caret_shown_ = HasFocus();
  if (caret_shown_) StartBlinking();
  CopyIntoOwner();
}

void LayerEdit::OnEditFocus(bool focused) {
  caret_shown_ = focused;
  if (focused) {
    StartBlinking();
  } else {
    caret_timer_.Stop();
  }
  CopyIntoOwner();
}

void LayerEdit::OnEditActivate() {
  if (on_activate_) on_activate_();
}

void LayerEdit::OnCaretTick() {
  if (++caret_ticks_ * kCaretBlinkMs >= kCaretBlinkTimeoutMs) {
    caret_shown_ = true;
    caret_timer_.Stop();
  } else {
    caret_shown_ = !caret_shown_;
  }
  // Only the box changed: only the box is painted again.
  owner_.DrawAndPresentPart(rect_, [this] { CopyIntoOwner(); });
}

}  // namespace quillo::ui
