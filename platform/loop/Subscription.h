#pragma once
// A registration that undoes itself: what Add…Listener, Attach… and the like answer. Destroying
// (or resetting) the subscription removes the registration; when the thing registered with is
// already gone, nothing happens. Owners keep it as a member beside what they registered, so the
// registration lives exactly as long as the listener.
//
// Move-only. Window thread, like the lists it removes itself from.
#include <functional>
#include <utility>

namespace quillo::loop {

class Subscription {
 public:
  Subscription() = default;
  explicit Subscription(std::function<void()> remove) : remove_(std::move(remove)) {}
  ~Subscription() { Reset(); }
  Subscription(Subscription&& other) noexcept : remove_(std::exchange(other.remove_, {})) {}
  Subscription& operator=(Subscription&& other) noexcept {
    if (this != &other) {
      Reset();
      remove_ = std::exchange(other.remove_, {});
    }
    return *this;
  }
  Subscription(const Subscription&) = delete;
  Subscription& operator=(const Subscription&) = delete;

  // Removes the registration now (idempotent).
  void Reset() {
    if (auto remove = std::exchange(remove_, {})) remove();
  }
  bool active() const { return static_cast<bool>(remove_); }

 private:
  std::function<void()> remove_;
};

}  // namespace quillo::loop
