#pragma once
// The player's listeners and how notifications reach them: each notification is queued on the
// window thread's loop and delivered later, in the order posted, to the listeners that were
// registered when it was posted and still are when it is delivered. A listener never runs from
// inside a player operation, and one removed (or removed and replaced by another object at the
// same address) is never called with what was posted before. Window thread only.
#include <cstdint>
#include <map>

#include "playback/PlayerNotification.h"

namespace quillo::loop {
class LoopTarget;
}

namespace quillo::playback {

class PlayerNotifier {
 public:
  // `target` must outlive the notifier; its destruction drops what is still queued.
  explicit PlayerNotifier(loop::LoopTarget& target) : target_(target) {}

  void Add(PlayerListener& listener);
  void Remove(PlayerListener& listener);
  // Queues the notification for the listeners registered now (nothing when there are none).
  void Post(const PlayerNotification& notification);
  void PostState(PlayerState state) { Post(StateChanged{state}); }

 private:
  void Deliver(const std::map<PlayerListener*, std::uint64_t>& recipients,
               const PlayerNotification& notification);

  loop::LoopTarget& target_;
  // Each listener with the serial of its registration.
  std::map<PlayerListener*, std::uint64_t> listeners_;
  std::uint64_t next_serial_ = 1;
};

}  // namespace quillo::playback
