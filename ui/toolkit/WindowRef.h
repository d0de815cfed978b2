#pragma once
// A weak reference to a skinned window: get() answers the window while it lives and is not
// being destroyed, else null. Popups hold their owner this way, so that a popup outliving its
// owner, or closing while the owner is torn down, never calls it. Window thread.
#include <memory>

namespace quillo::ui {

class LayerWnd;

class WindowRef {
 public:
  WindowRef() = default;
  WindowRef(std::weak_ptr<const bool> alive, LayerWnd* window)
      : alive_(std::move(alive)), window_(window) {}

  LayerWnd* get() const { return alive_.expired() ? nullptr : window_; }
  explicit operator bool() const { return get() != nullptr; }

 private:
  std::weak_ptr<const bool> alive_;
  LayerWnd* window_ = nullptr;
};

}  // namespace quillo::ui
