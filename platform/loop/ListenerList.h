#pragma once
// The listeners of one source, each registered through a Subscription that removes it again.
// Listeners are told in the order they were added. A listener removed while the list is being
// told (by itself or another) is not told afterwards; one added meanwhile is told from the next
// notification on. The list may go before its subscriptions: they then remove nothing.
//
// Window thread only.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/loop/Subscription.h"

namespace quillo::loop {

template <typename Listener>
class ListenerList {
 public:
  ListenerList() : entries_(std::make_shared<Entries>()) {}
  ListenerList(const ListenerList&) = delete;
  ListenerList& operator=(const ListenerList&) = delete;

  // `listener` must outlive the subscription (or the list).
  [[nodiscard]] Subscription Add(Listener& listener) {
    const std::uint64_t key = ++entries_->next_key;
    entries_->items.push_back({key, &listener});
    std::weak_ptr<Entries> weak = entries_;
    return Subscription([weak, key] {
      if (std::shared_ptr<Entries> entries = weak.lock()) {
        auto& items = entries->items;
        for (auto& item : items)
          if (item.key == key) item.listener = nullptr;
        // Removed right away unless a notification is walking the list.
        if (entries->walking == 0)
          items.erase(std::remove_if(items.begin(), items.end(),
                                     [](const Item& i) { return i.listener == nullptr; }),
                      items.end());
      }
    });
  }

  // Calls `tell(listener)` for each listener registered now.
  template <typename Tell>
  void ForEach(Tell&& tell) {
    std::shared_ptr<Entries> entries = entries_;  // a listener may destroy the list
    ++entries->walking;
    const std::size_t count = entries->items.size();
    for (std::size_t i = 0; i < count && i < entries->items.size(); ++i) {
      if (Listener* listener = entries->items[i].listener) tell(*listener);
    }
    if (--entries->walking == 0)
      entries->items.erase(std::remove_if(entries->items.begin(), entries->items.end(),
                                          [](const Item& i) { return i.listener == nullptr; }),
                           entries->items.end());
  }

  bool empty() const {
    return std::none_of(entries_->items.begin(), entries_->items.end(),
                        [](const Item& i) { return i.listener != nullptr; });
  }
  // The first listener still registered, or null (for sources that have one view at a time).
  Listener* First() const {
    for (const Item& item : entries_->items)
      if (item.listener) return item.listener;
    return nullptr;
  }

 private:
  struct Item {
    std::uint64_t key;
    Listener* listener;
  };
  struct Entries {
    std::vector<Item> items;
    std::uint64_t next_key = 0;
    int walking = 0;
  };
  std::shared_ptr<Entries> entries_;
};

}  // namespace quillo::loop
