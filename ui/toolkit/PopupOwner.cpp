#include "ui/toolkit/PopupOwner.h"

#include <algorithm>

#include "platform/loop/MainLoop.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

std::vector<PopupOwner*>& PopupOwner::Owners() {
  static std::vector<PopupOwner*> owners;
  return owners;
}

PopupOwner::PopupOwner() { Owners().push_back(this); }

PopupOwner::~PopupOwner() {
  auto& owners = Owners();
  owners.erase(std::remove(owners.begin(), owners.end(), this), owners.end());
  // The popups' own OnDestroy hands them back through Release while they go: ignore that.
  tearing_down_ = true;
  target_.reset();
  std::vector<std::unique_ptr<LayerWnd>> open = std::move(open_);
  open.clear();
  released_.clear();
}

PopupOwner& PopupOwner::Shared() {
  static PopupOwner shared;
  return shared;
}

PopupOwner& PopupOwner::For(LayerWnd* owner) { return owner ? owner->popups() : Shared(); }

bool PopupOwner::IsOpen(const LayerWnd& popup) { return popup.IsCreated(); }

void PopupOwner::AdoptWindow(std::unique_ptr<LayerWnd> popup) {
  if (popup) open_.push_back(std::move(popup));
}

void PopupOwner::Release(LayerWnd* popup) {
  if (tearing_down_) return;
  auto it = std::find_if(open_.begin(), open_.end(),
                         [popup](const std::unique_ptr<LayerWnd>& p) { return p.get() == popup; });
  if (it == open_.end()) return;
  released_.push_back(std::move(*it));
  open_.erase(it);
  loop::MainLoop* loop = loop::MainLoop::Instance();
  if (!loop) return;  // goes with the owner
  if (!target_ || &target_->loop() != loop) target_ = std::make_unique<loop::LoopTarget>(*loop);
  target_->Post([this] { DeleteReleased(); });
}

void PopupOwner::ReleaseAnywhere(LayerWnd* popup) {
  for (PopupOwner* owner : Owners()) {
    bool held = std::any_of(owner->open_.begin(), owner->open_.end(),
                            [popup](const std::unique_ptr<LayerWnd>& p) { return p.get() == popup; });
    if (held) return owner->Release(popup);
  }
}

void PopupOwner::DeleteReleased() {
  // A popup released again while these go waits for its own task.
  std::vector<std::unique_ptr<LayerWnd>> done = std::move(released_);
  released_.clear();
  done.clear();
}

}  // namespace quillo::ui
