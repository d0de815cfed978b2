#include "service/sync/IdlePlayback.h"

#include "store/DocumentStore.h"
#include "store/Playlists.h"
#include "store/QueueSelection.h"

namespace quillo::service {

std::string IdlePlayback::CurrentListId() {
  return store_.CurrentList();
}

void IdlePlayback::SetCurrentList(const std::string& list_id) {
  playlists_.SetCurrentList(list_id);
}

std::optional<store::MusicRecord> IdlePlayback::PickNext(bool wrap) {
  return selection_.PickNext(wrap);
}

}  // namespace quillo::service
