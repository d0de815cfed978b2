#include "service/sync/AddMusicCallback.h"

#include "service/sync/ListKinds.h"
#include "service/sync/SyncView.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"

namespace quillo::service {

bool AddMusicCallback::IsAcceptable(const store::ListDocument& document) {
  if (!document.list_id.empty() && !IsUserPlaylistId(document.list_id)) return false;
  for (const store::MusicRecord& record : document.records) {
    const std::string& id = store::IdOf(record);
    if (id.empty() || store::IsLocalId(id)) return false;
  }
  return true;
}

bool AddMusicCallback::OnAnswer(const std::optional<std::string>& answer) {
  const bool taken = answer.has_value() && Take(*answer);
  if (done_) done_(taken);
  return taken;
}

bool AddMusicCallback::Take(std::string_view answer) {
  std::optional<store::ListDocument> document = store::ParseListDocument(answer);
  if (!document || !IsAcceptable(*document)) return false;
  const std::string& list_id = document->list_id;
  if (!list_id.empty()) {
    // Found by its id, or created with the answer's name.
    if (!playlists_.PlaylistExists(list_id)) {
      playlists_.SetPlaylistName(
          list_id, document->list_name.empty() ? kNewPlaylistName : document->list_name);
    }
    view_.RefreshPlaylistPanel();
  }
  for (const store::MusicRecord& record : document->records) {
    library_.AddMusic(record);
    if (!list_id.empty()) playlists_.AddItem(list_id, store::IdOf(record));
  }
  view_.RefreshSongList();
  return true;
}

}  // namespace quillo::service
