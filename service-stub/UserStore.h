#pragma once
// The service's user data in SQLite: accounts, sessions, each user's library and playlists,
// and the reports clients send (lyric errors, play events, usage statistics, uploads).
// Every operation takes the database lock for its whole run and changes data inside one
// transaction, so concurrent requests never see half a change. Any thread may call.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "service-stub/Catalogue.h"
#include "service-stub/Database.h"

namespace quillo::stub {

struct UserRecord {
  std::string id;
  std::string name;
  std::string gender;
};

struct SessionRecord {
  std::string sid;   // the session cookie's value
  std::string ukey;  // the key the client stores for automatic log-in
  std::string user_id;
};

struct PlaylistRecord {
  std::string id;
  std::string name;
  std::vector<std::string> songs;
};

struct ReportRow {
  std::string kind;  // "lyric_error", "event", "usage"
  std::vector<std::pair<std::string, std::string>> fields;
};

enum class Outcome { kOk, kNotFound, kForbidden, kFailed };

class UserStore {
 public:
  explicit UserStore(Database& db) : db_(db) {}

  // Creates the tables; seeds the catalogue's users when there are no users yet.
  bool Initialise(const Catalogue& catalogue, std::string* error);

  std::optional<UserRecord> CheckPassword(const std::string& name, const std::string& password);
  std::optional<UserRecord> FindUser(const std::string& id);
  std::optional<UserRecord> FindUserByName(const std::string& name);
  // A new account with the next free numeric id; no value when the name is taken.
  std::optional<UserRecord> CreateUser(const std::string& name, const std::string& password,
                                       const std::string& gender);

  std::optional<SessionRecord> CreateSession(const std::string& user_id);
  std::optional<SessionRecord> SessionById(const std::string& sid);
  std::optional<SessionRecord> SessionByKey(const std::string& ukey);
  void DeleteSession(const std::string& sid);

  // Library songs in the order they were added.
  std::vector<std::string> Library(const std::string& user_id);
  // Adds the songs not yet in the library; the number added.
  int AddToLibrary(const std::string& user_id, const std::vector<std::string>& songs);
  // Removes the songs from the library and from every playlist of the user.
  int RemoveFromLibrary(const std::string& user_id, const std::vector<std::string>& songs);

  std::vector<PlaylistRecord> Playlists(const std::string& user_id);
  // Creates the playlist, or renames an existing one of the same user and appends the songs.
  // Songs of playlists are also put into the library. kForbidden: another user's id.
  Outcome CreatePlaylist(const std::string& user_id, const std::string& id, const std::string& name,
                         const std::vector<std::string>& songs);
  Outcome RenamePlaylist(const std::string& user_id, const std::string& id, const std::string& name);
  Outcome DeletePlaylist(const std::string& user_id, const std::string& id);
  Outcome ClearPlaylist(const std::string& user_id, const std::string& id);
  // Appends songs that the playlist lacks; with create_missing an unknown id is created
  // under `name_if_created`.
  Outcome AddToPlaylist(const std::string& user_id, const std::string& id,
                        const std::vector<std::string>& songs, bool create_missing,
                        const std::string& name_if_created);
  Outcome RemoveFromPlaylist(const std::string& user_id, const std::string& id,
                             const std::vector<std::string>& songs);

  void RecordLyricError(const std::string& music_id, int error_type, const std::string& comment,
                        const std::string& user_id);
  void RecordEvent(const std::string& client_id, const std::string& type, const std::string& ext_id,
                   const std::string& ext_value, const std::string& detail,
                   const std::string& user_id);
  void RecordUsageReport(const std::string& client_id, const std::string& content);
  // The latest reports of every kind, oldest first.
  std::vector<ReportRow> Reports(int limit_per_kind);

  bool CreateUpload(const std::string& id);
  std::optional<std::int64_t> UploadLength(const std::string& id);  // only while open
  void SetUploadLength(const std::string& id, std::int64_t length);
  void SetUploadState(const std::string& id, const std::string& state);

 private:
  Outcome OwnPlaylist(const std::string& user_id, const std::string& id);
  void AppendToPlaylist(const std::string& id, const std::vector<std::string>& songs);
  void AppendToLibrary(const std::string& user_id, const std::vector<std::string>& songs, int* added);
  std::optional<SessionRecord> SessionWhere(const char* column, const std::string& value);

  Database& db_;
};

// 32 upper-case hexadecimal digits from fresh randomness.
std::string RandomHex32();

}  // namespace quillo::stub
