#include "service-stub/UserStore.h"

#include <ctime>

#include "platform/crypto/Crypto.h"

namespace quillo::stub {
namespace {

constexpr char kSchema[] = R"sql(
CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS users(
  id TEXT PRIMARY KEY, name TEXT NOT NULL UNIQUE, salt TEXT NOT NULL, password_md5 TEXT NOT NULL,
  gender TEXT NOT NULL DEFAULT '', created_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sessions(
  sid TEXT PRIMARY KEY, ukey TEXT NOT NULL UNIQUE,
  user_id TEXT NOT NULL REFERENCES users(id) ON DELETE CASCADE, created_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS library(
  user_id TEXT NOT NULL, music_id TEXT NOT NULL, position INTEGER NOT NULL,
  PRIMARY KEY(user_id, music_id));
CREATE TABLE IF NOT EXISTS playlists(
  id TEXT PRIMARY KEY, user_id TEXT NOT NULL, name TEXT NOT NULL, position INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS playlist_songs(
  playlist_id TEXT NOT NULL REFERENCES playlists(id) ON DELETE CASCADE, music_id TEXT NOT NULL,
  position INTEGER NOT NULL, PRIMARY KEY(playlist_id, music_id));
CREATE TABLE IF NOT EXISTS lyric_reports(
  id INTEGER PRIMARY KEY, music_id TEXT, error_type INTEGER, comment TEXT, user_id TEXT, at INTEGER);
CREATE TABLE IF NOT EXISTS events(
  id INTEGER PRIMARY KEY, client_id TEXT, type TEXT, ext_id TEXT, ext_value TEXT, detail TEXT,
  user_id TEXT, at INTEGER);
CREATE TABLE IF NOT EXISTS usage_reports(id INTEGER PRIMARY KEY, client_id TEXT, content TEXT, at INTEGER);
CREATE TABLE IF NOT EXISTS uploads(
  id TEXT PRIMARY KEY, length INTEGER NOT NULL, state TEXT NOT NULL, created_at INTEGER NOT NULL);
)sql";

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

std::string PasswordDigest(const std::string& salt, const std::string& password) {
  return crypto::Md5Hex(salt + ":" + password);
}

}  // namespace

std::string RandomHex32() {
  static const char kHex[] = "0123456789ABCDEF";
  const auto guid = crypto::NewGuid();
  std::string out;
  if (!guid) {
    // No system randomness: fall back to a time-based value rather than failing a login.
    return crypto::Md5Hex(std::to_string(Now()) + std::to_string(std::clock()));
  }
  for (const auto byte : *guid) {
    out.push_back(kHex[byte >> 4]);
    out.push_back(kHex[byte & 0xF]);
  }
  return out;
}

bool UserStore::Initialise(const Catalogue& catalogue, std::string* error) {
  std::lock_guard lock(db_.lock());
  if (!db_.Exec(kSchema)) {
    if (error) *error = db_.LastError();
    return false;
  }
  Statement count(db_.handle(), "SELECT COUNT(*) FROM users");
  if (!count.Step()) {
    if (error) *error = db_.LastError();
    return false;
  }
  if (count.Int(0) > 0) return true;

  Transaction transaction(db_);
  for (const auto& user : catalogue.seed_users()) {
    const std::string salt = RandomHex32();
    Statement insert(db_.handle(),
                     "INSERT INTO users(id, name, salt, password_md5, gender, created_at) "
                     "VALUES(?, ?, ?, ?, ?, ?)");
    insert.Bind(1, user.id).Bind(2, user.name).Bind(3, salt)
        .Bind(4, PasswordDigest(salt, user.password)).Bind(5, user.gender).Bind(6, Now());
    if (!insert.Run()) {
      if (error) *error = db_.LastError();
      return false;
    }
    int added = 0;
    AppendToLibrary(user.id, user.library, &added);
    int position = 0;
    for (const auto& playlist : user.playlists) {
      Statement create(db_.handle(),
                       "INSERT INTO playlists(id, user_id, name, position) VALUES(?, ?, ?, ?)");
      create.Bind(1, playlist.id).Bind(2, user.id).Bind(3, playlist.name).Bind(4, position++).Run();
      AppendToPlaylist(playlist.id, playlist.song_ids);
    }
  }
  if (!transaction.Commit()) {
    if (error) *error = db_.LastError();
    return false;
  }
  return true;
}

std::optional<UserRecord> UserStore::CheckPassword(const std::string& name,
                                                   const std::string& password) {
  std::lock_guard lock(db_.lock());
  Statement query(db_.handle(), "SELECT id, name, gender, salt, password_md5 FROM users WHERE name = ?");
  query.Bind(1, name);
  if (!query.Step()) return std::nullopt;
  if (PasswordDigest(query.Text(3), password) != query.Text(4)) return std::nullopt;
  return UserRecord{query.Text(0), query.Text(1), query.Text(2)};
}

std::optional<UserRecord> UserStore::FindUser(const std::string& id) {
  std::lock_guard lock(db_.lock());
  Statement query(db_.handle(), "SELECT id, name, gender FROM users WHERE id = ?");
  query.Bind(1, id);
  if (!query.Step()) return std::nullopt;
  return UserRecord{query.Text(0), query.Text(1), query.Text(2)};
}

std::optional<UserRecord> UserStore::FindUserByName(const std::string& name) {
  std::lock_guard lock(db_.lock());
  Statement query(db_.handle(), "SELECT id, name, gender FROM users WHERE name = ?");
  query.Bind(1, name);
  if (!query.Step()) return std::nullopt;
  return UserRecord{query.Text(0), query.Text(1), query.Text(2)};
}

std::optional<UserRecord> UserStore::CreateUser(const std::string& name, const std::string& password,
                                                const std::string& gender) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  Statement next(db_.handle(), "SELECT COALESCE(MAX(CAST(id AS INTEGER)), 10000) + 1 FROM users");
  if (!next.Step()) return std::nullopt;
  const std::string id = std::to_string(next.Int(0));
  const std::string salt = RandomHex32();
  Statement insert(db_.handle(),
                   "INSERT INTO users(id, name, salt, password_md5, gender, created_at) "
                   "VALUES(?, ?, ?, ?, ?, ?)");
  insert.Bind(1, id).Bind(2, name).Bind(3, salt).Bind(4, PasswordDigest(salt, password))
      .Bind(5, gender).Bind(6, Now());
  if (!insert.Run() || !transaction.Commit()) return std::nullopt;
  return UserRecord{id, name, gender};
}

std::optional<SessionRecord> UserStore::CreateSession(const std::string& user_id) {
  std::lock_guard lock(db_.lock());
  SessionRecord session{RandomHex32(), RandomHex32(), user_id};
  Statement insert(db_.handle(),
                   "INSERT INTO sessions(sid, ukey, user_id, created_at) VALUES(?, ?, ?, ?)");
  insert.Bind(1, session.sid).Bind(2, session.ukey).Bind(3, user_id).Bind(4, Now());
  if (!insert.Run()) return std::nullopt;
  return session;
}

std::optional<SessionRecord> UserStore::SessionWhere(const char* column, const std::string& value) {
  std::lock_guard lock(db_.lock());
  Statement query(db_.handle(), std::string("SELECT sid, ukey, user_id FROM sessions WHERE ") +
                                    column + " = ?");
  query.Bind(1, value);
  if (value.empty() || !query.Step()) return std::nullopt;
  return SessionRecord{query.Text(0), query.Text(1), query.Text(2)};
}

std::optional<SessionRecord> UserStore::SessionById(const std::string& sid) {
  return SessionWhere("sid", sid);
}

std::optional<SessionRecord> UserStore::SessionByKey(const std::string& ukey) {
  return SessionWhere("ukey", ukey);
}

void UserStore::DeleteSession(const std::string& sid) {
  std::lock_guard lock(db_.lock());
  Statement(db_.handle(), "DELETE FROM sessions WHERE sid = ?").Bind(1, sid).Run();
}

std::vector<std::string> UserStore::Library(const std::string& user_id) {
  std::lock_guard lock(db_.lock());
  Statement query(db_.handle(),
                  "SELECT music_id FROM library WHERE user_id = ? ORDER BY position, rowid");
  query.Bind(1, user_id);
  std::vector<std::string> songs;
  while (query.Step()) songs.push_back(query.Text(0));
  return songs;
}

// Caller holds the lock and a transaction.
void UserStore::AppendToLibrary(const std::string& user_id, const std::vector<std::string>& songs,
                                int* added) {
  for (const auto& song : songs) {
    Statement insert(db_.handle(),
                     "INSERT OR IGNORE INTO library(user_id, music_id, position) VALUES(?, ?, "
                     "(SELECT COALESCE(MAX(position), 0) + 1 FROM library WHERE user_id = ?))");
    insert.Bind(1, user_id).Bind(2, song).Bind(3, user_id);
    if (insert.Run() && sqlite3_changes(db_.handle()) > 0) ++*added;
  }
}

// Caller holds the lock and a transaction.
void UserStore::AppendToPlaylist(const std::string& id, const std::vector<std::string>& songs) {
  for (const auto& song : songs) {
    Statement insert(db_.handle(),
                     "INSERT OR IGNORE INTO playlist_songs(playlist_id, music_id, position) "
                     "VALUES(?, ?, (SELECT COALESCE(MAX(position), 0) + 1 FROM playlist_songs "
                     "WHERE playlist_id = ?))");
    insert.Bind(1, id).Bind(2, song).Bind(3, id).Run();
  }
}

int UserStore::AddToLibrary(const std::string& user_id, const std::vector<std::string>& songs) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  int added = 0;
  AppendToLibrary(user_id, songs, &added);
  return transaction.Commit() ? added : 0;
}

int UserStore::RemoveFromLibrary(const std::string& user_id, const std::vector<std::string>& songs) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  int removed = 0;
  for (const auto& song : songs) {
    Statement remove(db_.handle(), "DELETE FROM library WHERE user_id = ? AND music_id = ?");
    if (remove.Bind(1, user_id).Bind(2, song).Run()) removed += sqlite3_changes(db_.handle());
    Statement from_lists(db_.handle(),
                         "DELETE FROM playlist_songs WHERE music_id = ? AND playlist_id IN "
                         "(SELECT id FROM playlists WHERE user_id = ?)");
    from_lists.Bind(1, song).Bind(2, user_id).Run();
  }
  return transaction.Commit() ? removed : 0;
}

std::vector<PlaylistRecord> UserStore::Playlists(const std::string& user_id) {
  std::lock_guard lock(db_.lock());
  std::vector<PlaylistRecord> playlists;
  Statement lists(db_.handle(),
                  "SELECT id, name FROM playlists WHERE user_id = ? ORDER BY position, rowid");
  lists.Bind(1, user_id);
  while (lists.Step()) playlists.push_back({lists.Text(0), lists.Text(1), {}});
  for (auto& playlist : playlists) {
    Statement songs(db_.handle(),
                    "SELECT music_id FROM playlist_songs WHERE playlist_id = ? ORDER BY position, rowid");
    songs.Bind(1, playlist.id);
    while (songs.Step()) playlist.songs.push_back(songs.Text(0));
  }
  return playlists;
}

// Caller holds the lock.
Outcome UserStore::OwnPlaylist(const std::string& user_id, const std::string& id) {
  Statement query(db_.handle(), "SELECT user_id FROM playlists WHERE id = ?");
  query.Bind(1, id);
  if (!query.Step()) return Outcome::kNotFound;
  return query.Text(0) == user_id ? Outcome::kOk : Outcome::kForbidden;
}

Outcome UserStore::CreatePlaylist(const std::string& user_id, const std::string& id,
                                  const std::string& name, const std::vector<std::string>& songs) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  const Outcome owner = OwnPlaylist(user_id, id);
  if (owner == Outcome::kForbidden) return owner;
  if (owner == Outcome::kNotFound) {
    Statement create(db_.handle(),
                     "INSERT INTO playlists(id, user_id, name, position) VALUES(?, ?, ?, "
                     "(SELECT COALESCE(MAX(position), 0) + 1 FROM playlists WHERE user_id = ?))");
    if (!create.Bind(1, id).Bind(2, user_id).Bind(3, name).Bind(4, user_id).Run()) {
      return Outcome::kFailed;
    }
  } else {
    Statement(db_.handle(), "UPDATE playlists SET name = ? WHERE id = ?").Bind(1, name).Bind(2, id).Run();
  }
  AppendToPlaylist(id, songs);
  int added = 0;
  AppendToLibrary(user_id, songs, &added);
  return transaction.Commit() ? Outcome::kOk : Outcome::kFailed;
}

Outcome UserStore::RenamePlaylist(const std::string& user_id, const std::string& id,
                                  const std::string& name) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  const Outcome owner = OwnPlaylist(user_id, id);
  if (owner != Outcome::kOk) return owner;
  Statement(db_.handle(), "UPDATE playlists SET name = ? WHERE id = ?").Bind(1, name).Bind(2, id).Run();
  return transaction.Commit() ? Outcome::kOk : Outcome::kFailed;
}

Outcome UserStore::DeletePlaylist(const std::string& user_id, const std::string& id) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  const Outcome owner = OwnPlaylist(user_id, id);
  if (owner != Outcome::kOk) return owner;
  Statement(db_.handle(), "DELETE FROM playlist_songs WHERE playlist_id = ?").Bind(1, id).Run();
  Statement(db_.handle(), "DELETE FROM playlists WHERE id = ?").Bind(1, id).Run();
  return transaction.Commit() ? Outcome::kOk : Outcome::kFailed;
}

Outcome UserStore::ClearPlaylist(const std::string& user_id, const std::string& id) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  const Outcome owner = OwnPlaylist(user_id, id);
  if (owner != Outcome::kOk) return owner;
  Statement(db_.handle(), "DELETE FROM playlist_songs WHERE playlist_id = ?").Bind(1, id).Run();
  return transaction.Commit() ? Outcome::kOk : Outcome::kFailed;
}

Outcome UserStore::AddToPlaylist(const std::string& user_id, const std::string& id,
                                 const std::vector<std::string>& songs, bool create_missing,
                                 const std::string& name_if_created) {
  {
    std::lock_guard lock(db_.lock());
    const Outcome owner = OwnPlaylist(user_id, id);
    if (owner == Outcome::kForbidden) return owner;
    if (owner == Outcome::kNotFound && !create_missing) return owner;
    if (owner == Outcome::kOk) {
      Transaction transaction(db_);
      AppendToPlaylist(id, songs);
      int added = 0;
      AppendToLibrary(user_id, songs, &added);
      return transaction.Commit() ? Outcome::kOk : Outcome::kFailed;
    }
  }
  return CreatePlaylist(user_id, id, name_if_created, songs);
}

Outcome UserStore::RemoveFromPlaylist(const std::string& user_id, const std::string& id,
                                      const std::vector<std::string>& songs) {
  std::lock_guard lock(db_.lock());
  Transaction transaction(db_);
  const Outcome owner = OwnPlaylist(user_id, id);
  if (owner != Outcome::kOk) return owner;
  for (const auto& song : songs) {
    Statement(db_.handle(), "DELETE FROM playlist_songs WHERE playlist_id = ? AND music_id = ?")
        .Bind(1, id).Bind(2, song).Run();
  }
  return transaction.Commit() ? Outcome::kOk : Outcome::kFailed;
}

void UserStore::RecordLyricError(const std::string& music_id, int error_type,
                                 const std::string& comment, const std::string& user_id) {
  std::lock_guard lock(db_.lock());
  Statement(db_.handle(),
            "INSERT INTO lyric_reports(music_id, error_type, comment, user_id, at) VALUES(?, ?, ?, ?, ?)")
      .Bind(1, music_id).Bind(2, error_type).Bind(3, comment).Bind(4, user_id).Bind(5, Now()).Run();
}

void UserStore::RecordEvent(const std::string& client_id, const std::string& type,
                            const std::string& ext_id, const std::string& ext_value,
                            const std::string& detail, const std::string& user_id) {
  std::lock_guard lock(db_.lock());
  Statement(db_.handle(),
            "INSERT INTO events(client_id, type, ext_id, ext_value, detail, user_id, at) "
            "VALUES(?, ?, ?, ?, ?, ?, ?)")
      .Bind(1, client_id).Bind(2, type).Bind(3, ext_id).Bind(4, ext_value).Bind(5, detail)
      .Bind(6, user_id).Bind(7, Now()).Run();
}

void UserStore::RecordUsageReport(const std::string& client_id, const std::string& content) {
  std::lock_guard lock(db_.lock());
  Statement(db_.handle(), "INSERT INTO usage_reports(client_id, content, at) VALUES(?, ?, ?)")
      .Bind(1, client_id).Bind(2, content).Bind(3, Now()).Run();
}

std::vector<ReportRow> UserStore::Reports(int limit_per_kind) {
  std::lock_guard lock(db_.lock());
  std::vector<ReportRow> rows;
  struct Source {
    const char* kind;
    const char* sql;
    std::vector<const char*> names;
  };
  const Source sources[] = {
      {"lyric_error",
       "SELECT * FROM (SELECT id, music_id, error_type, comment, user_id FROM lyric_reports "
       "ORDER BY id DESC LIMIT ?) ORDER BY id",
       {"music_id", "error_type", "comment", "user_id"}},
      {"event",
       "SELECT * FROM (SELECT id, client_id, type, ext_id, ext_value, detail, user_id FROM events "
       "ORDER BY id DESC LIMIT ?) ORDER BY id",
       {"client_id", "type", "ext_id", "ext_value", "event_detail", "user_id"}},
      {"usage",
       "SELECT * FROM (SELECT id, client_id, content FROM usage_reports ORDER BY id DESC LIMIT ?) "
       "ORDER BY id",
       {"clientid", "content"}},
  };
  for (const auto& source : sources) {
    Statement query(db_.handle(), source.sql);
    query.Bind(1, static_cast<std::int64_t>(limit_per_kind));
    while (query.Step()) {
      ReportRow row{source.kind, {}};
      for (std::size_t i = 0; i < source.names.size(); ++i) {
        row.fields.emplace_back(source.names[i], query.Text(static_cast<int>(i) + 1));
      }
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

bool UserStore::CreateUpload(const std::string& id) {
  std::lock_guard lock(db_.lock());
  return Statement(db_.handle(),
                   "INSERT INTO uploads(id, length, state, created_at) VALUES(?, 0, 'open', ?)")
      .Bind(1, id).Bind(2, Now()).Run();
}

std::optional<std::int64_t> UserStore::UploadLength(const std::string& id) {
  std::lock_guard lock(db_.lock());
  Statement query(db_.handle(), "SELECT length FROM uploads WHERE id = ? AND state = 'open'");
  query.Bind(1, id);
  if (!query.Step()) return std::nullopt;
  return query.Int(0);
}

void UserStore::SetUploadLength(const std::string& id, std::int64_t length) {
  std::lock_guard lock(db_.lock());
  Statement(db_.handle(), "UPDATE uploads SET length = ? WHERE id = ?").Bind(1, length).Bind(2, id).Run();
}

void UserStore::SetUploadState(const std::string& id, const std::string& state) {
  std::lock_guard lock(db_.lock());
  Statement(db_.handle(), "UPDATE uploads SET state = ? WHERE id = ?").Bind(1, state).Bind(2, id).Run();
}

}  // namespace quillo::stub
