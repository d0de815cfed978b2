#pragma once
// Takes up the service's login answer: the user, the user's library and playlists, merged into
// the document. (List documents are parsed by ListDocument.h.)
//
// Threads: TakeLoginAnswer parses without the lock and takes the store's lock for the merge.
#include <string>
#include <string_view>

namespace quillo::store {

class DocumentStore;
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

  ServiceAnswers(DocumentStore& store, PlaylistIndex& lists, MusicLibrary& library, Playlists& playlists);

  // Every failure leaves the store unchanged: an answer without the library folder is refused
  // rather than taken for an empty library (which would delete every song). On success the answer's user is the current user,
  // the library holds exactly the answer's service songs (local songs stay), the user's
  // playlists are merged, and the listeners hear OnUserChanged.
  LoginAnswerResult TakeLoginAnswer(std::string_view text);

 private:
  DocumentStore& store_;
  PlaylistIndex& lists_;
  MusicLibrary& library_;
  Playlists& playlists_;
};

}  // namespace quillo::store
