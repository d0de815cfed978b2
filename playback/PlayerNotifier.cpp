#include "playback/PlayerNotifier.h"

#include "platform/loop/LoopTarget.h"

namespace quillo::playback {

void PlayerNotifier::Add(PlayerListener& listener) {
  if (listeners_.count(&listener) == 0) listeners_[&listener] = next_serial_++;
}

void PlayerNotifier::Remove(PlayerListener& listener) {
  listeners_.erase(&listener);
}

void PlayerNotifier::Post(const PlayerNotification& notification) {
  if (listeners_.empty()) return;
  target_.Post(
      [this, recipients = listeners_, notification] { Deliver(recipients, notification); });
}

void PlayerNotifier::Deliver(const std::map<PlayerListener*, std::uint64_t>& recipients,
                             const PlayerNotification& notification) {
  for (const auto& [listener, serial] : recipients) {
    // A listener may remove others (or itself) while handling the notification.
    auto current = listeners_.find(listener);
    if (current == listeners_.end() || current->second != serial) continue;
    listener->OnPlayerNotification(notification);
  }
}

}  // namespace quillo::playback
