#pragma once
// The answer handler of "api/addmusic.php?type=xml" (a link naming songs this library does not
// know): the answer is a list document carrying the song records and, when the link named a
// list, that list's id and name. Only a good answer changes the store: a failed request, a
// document that does not parse, a list id that is not a user playlist id, or a song id of the
// local form (the service's ids never are) changes nothing.
//
// Window thread (the safe downloader's callbacks reach it there through AnswerCollectors).
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "store/ListDocument.h"

namespace quillo::store {
class MusicLibrary;
class Playlists;
}  // namespace quillo::store

namespace quillo::service {

class SyncView;

class AddMusicCallback {
 public:
  // Told whether the answer was taken (after the store and the views were updated).
  using Done = std::function<void(bool taken)>;

  // All must outlive the request (its owner cancels the transfer before they go).
  AddMusicCallback(store::MusicLibrary& library, store::Playlists& playlists, SyncView& view,
                   Done done = {})
      : library_(library), playlists_(playlists), view_(view), done_(std::move(done)) {}

  // The answer's text, or no value when the request failed. Answers whether it was taken.
  bool OnAnswer(const std::optional<std::string>& answer);
  // Whether a parsed list document may change the store: its list id is empty or a user
  // playlist id, and no song id has the local form. Hosted pages hand over the same documents.
  static bool IsAcceptable(const store::ListDocument& document);

 private:
  bool Take(std::string_view answer);

  store::MusicLibrary& library_;
  store::Playlists& playlists_;
  SyncView& view_;
  Done done_;
};

}  // namespace quillo::service
