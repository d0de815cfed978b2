// Songs named by "quillo://add/" links and songs handed over by hosted pages.
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/sync/AddLink.h"
#include "service/sync/AddMusicCallback.h"
#include "service/sync/ListKinds.h"
#include "service/sync/MirrorRequests.h"
#include "service/sync/PlaylistSync.h"
#include "service/sync/SyncView.h"
#include "store/ListDocument.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"

namespace quillo::service {

PlaylistSync::LinkOutcome PlaylistSync::AddFromLink(std::string_view link) {
  std::optional<AddLink> parsed = ParseAddLink(link);
  if (!parsed) return LinkOutcome::kMalformed;
  if (parsed->music_ids.empty()) return LinkOutcome::kNoSongs;

  // Only a user playlist can be the link's list: a name that finds the default list or a
  // temporary one counts as a list that does not exist yet.
  std::string target;
  if (parsed->list_name) {
    target = parts_.playlists.FindPlaylistByName(*parsed->list_name);
    if (!IsUserPlaylistId(target)) target.clear();
  }
  bool any_unknown = false;
  for (const std::string& id : parsed->music_ids) {
    if (!parts_.playlists.ContainsItem(kDefaultListId, id)) any_unknown = true;
  }

  if (any_unknown) {
    // The store changes only when the answer brings the songs (and, for a named list, the
    // list the service made or found); known songs are not appended ahead of it.
    std::optional<ServiceRequests::LinkedPlaylist> playlist;
    if (parsed->list_name) {
      playlist = ServiceRequests::LinkedPlaylist{
          target.empty() ? ServiceRequests::NewPlaylistId() : target, *parsed->list_name};
    }
    const ServiceCall call = ServiceRequests::AddLinkMusic(parsed->music_ids, playlist);
    auto callback = std::make_shared<AddMusicCallback>(parts_.library, parts_.playlists,
                                                       parts_.view, [this](bool taken) {
                                                         if (answer_hook_) answer_hook_(taken);
                                                       });
    answers_.Request(parts_.sender, parts_.requests.base_url() + call.path, call.params,
                     std::make_unique<AnswerCollector>(AnswerCollector::Form::kPlain,
                                                       [callback](std::optional<std::string> text) {
                                                         callback->OnAnswer(text);
                                                       }));
    return LinkOutcome::kAwaitingAnswer;
  }
  if (!parsed->list_name) return LinkOutcome::kNothingToSend;

  std::optional<ServiceCall> call;
  if (target.empty()) {
    target = ServiceRequests::NewPlaylistId();
    if (target.empty()) return LinkOutcome::kNothingToSend;
    parts_.playlists.SetPlaylistName(target, *parsed->list_name);
    call = ServiceRequests::CreateLinkedPlaylist({target, *parsed->list_name}, parsed->music_ids);
    parts_.view.ShowPlaylistPage();
    parts_.view.RefreshPlaylistPanel();
  } else {
    call = ServiceRequests::AddLinkedMusicToPlaylist(target, parsed->music_ids);
  }
  bool appended = false;
  for (const std::string& id : parsed->music_ids) {
    if (parts_.playlists.AddItem(target, id)) appended = true;
  }
  if (appended) parts_.view.SelectPanelList(target);
  Mirror(call);
  return LinkOutcome::kSent;
}

bool PlaylistSync::AddFromPage(std::string_view document_text) {
  std::optional<store::ListDocument> document = store::ParseListDocument(document_text);
  if (!document || !AddMusicCallback::IsAcceptable(*document)) return false;
  std::string target;
  if (document->list_id.empty()) {
    target = parts_.view.SelectedPanelListId().value_or(std::string());
  } else {
    target = document->list_id;
    if (!parts_.playlists.PlaylistExists(target)) {
      parts_.playlists.SetPlaylistName(
          target, document->list_name.empty() ? kNewPlaylistName : document->list_name);
    }
    parts_.view.RefreshPlaylistPanel();
  }
  // Phone lists are filled by copying, not by a page.
  const bool fills_target = !target.empty() && target != kLocalListId &&
                            !IsTemporaryListId(target) && !IsDeviceListId(target);
  std::vector<std::string> ids;
  for (const store::MusicRecord& record : document->records) {
    parts_.library.AddMusic(record);
    if (fills_target) {
      parts_.playlists.AddItem(target, store::IdOf(record));
      ids.push_back(store::IdOf(record));
    }
  }
  parts_.view.RefreshSongList();
  if (!ids.empty()) Mirror(ServiceRequests::AddMusicToPlaylist(target, ids));
  return true;
}

}  // namespace quillo::service
