#include "service-stub/Database.h"

namespace quillo::stub {

Statement::Statement(sqlite3* db, std::string_view sql) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(statement_);
    statement_ = nullptr;
  }
}

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement& Statement::Bind(int index, std::string_view text) {
  if (statement_) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  }
  return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
  if (statement_) sqlite3_bind_int64(statement_, index, value);
  return *this;
}

bool Statement::Step() {
  done_ = false;
  if (!statement_) return false;
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  done_ = result == SQLITE_DONE;
  return false;
}

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(statement_, column);
  if (!text) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(statement_, column); }

bool Statement::Run() {
  while (Step()) {
  }
  return done_;
}

std::unique_ptr<Database> Database::Open(const std::string& path, std::string* error) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    if (error) *error = db ? sqlite3_errmsg(db) : "cannot open " + path;
    sqlite3_close(db);
    return nullptr;
  }
  std::unique_ptr<Database> database(new Database(db));
  sqlite3_busy_timeout(db, 5000);
  // NORMAL is enough in WAL mode: a killed process loses nothing that was committed.
  if (!database->Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;")) {
    if (error) *error = database->LastError();
    return nullptr;
  }
  return database;
}

Database::~Database() { sqlite3_close(db_); }

bool Database::Exec(std::string_view sql) {
  const std::string text(sql);
  return sqlite3_exec(db_, text.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string Database::LastError() const { return sqlite3_errmsg(db_); }

std::optional<std::string> Database::GetMeta(const std::string& key) {
  Statement statement(db_, "SELECT value FROM meta WHERE key = ?");
  statement.Bind(1, key);
  if (statement.Step()) return statement.Text(0);
  return std::nullopt;
}

bool Database::SetMeta(const std::string& key, const std::string& value) {
  Statement statement(db_, "INSERT OR REPLACE INTO meta(key, value) VALUES(?, ?)");
  return statement.Bind(1, key).Bind(2, value).Run();
}

Transaction::Transaction(Database& db) : db_(db) { open_ = db_.Exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (open_) db_.Exec("ROLLBACK");
}

bool Transaction::Commit() {
  if (!open_) return false;
  open_ = false;
  if (db_.Exec("COMMIT")) return true;
  db_.Exec("ROLLBACK");
  return false;
}

}  // namespace quillo::stub
