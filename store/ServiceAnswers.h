#pragma once
// Takes up the service's login answer: the user, the user's library and playlists, merged into
// the document. (List documents are parsed by ListDocument.h.)
//
// Threads: TakeLoginAnswer parses without the lock and takes the store's lock for the merge.
#include <optional>
#include <string>
#include <string_view>

namespace quillo::store {

class DocumentStore;
class MirrorOutbox;
class MusicLibrary;
class PlaylistIndex;
class Playlists;

struct LoginAnswerResult {
  bool ok = false;
  // The service's error text (possibly empty), or "错误的返回文件格式" for an answer that does
  // not parse (one cut short included) or lacks the user or the library folder.
  std::string error;
};

class ServiceAnswers {
 public:
  static constexpr std::string_view kWrongFormat = "错误的返回文件格式";

  // The outbox, when given, must outlive this object.
  ServiceAnswers(DocumentStore& store, PlaylistIndex& lists, MusicLibrary& library, Playlists& playlists,
                 const MirrorOutbox* outbox = nullptr);

  // Every failure leaves the store unchanged: an answer without the library folder is refused
  // rather than taken for an empty library (which would delete every song). On success the answer's user is the current user,
  // the library holds exactly the answer's service songs (local songs stay), the user's
  // playlists are merged, and the listeners hear OnUserChanged.
  // While the outbox holds requests of the answer's user, the service has not seen every local
  // change yet: the merge then adds and updates but removes nothing (no song, no song file, no
  // playlist, no list entry), since what the answer lacks may be what is still on its way.
  // With keep_unlisted the merge removes nothing either (for an answer older than changes that
  // reached the service after it was made).
  LoginAnswerResult TakeLoginAnswer(std::string_view text, bool keep_unlisted = false);
  // The user id of an answer that TakeLoginAnswer would take (the store is not touched), or no
  // value for an answer it would refuse.
  static std::optional<std::string> AcceptedUser(std::string_view text);

 private:
  DocumentStore& store_;
  PlaylistIndex& lists_;
  MusicLibrary& library_;
  Playlists& playlists_;
  const MirrorOutbox* outbox_;
};

}  // namespace quillo::store
