#pragma once
// A small RAII layer over one SQLite connection. The database runs in WAL mode, so a process
// killed at any moment leaves it consistent; every change is made inside a transaction.
// The connection is shared by the server's threads: hold lock() across every use.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::stub {

class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return statement_ != nullptr; }
  // Parameters are numbered from 1.
  Statement& Bind(int index, std::string_view text);
  Statement& Bind(int index, std::int64_t value);
  // True while a row is available; false at the end or on an error (see done()).
  bool Step();
  // True when the last Step() finished the statement without an error.
  bool done() const { return done_; }
  std::string Text(int column) const;
  std::int64_t Int(int column) const;
  // Runs to the end; true without an error.
  bool Run();

 private:
  sqlite3_stmt* statement_ = nullptr;
  bool done_ = false;
};

class Database {
 public:
  // Opens or creates the file and switches on WAL; no value with the reason in *error.
  static std::unique_ptr<Database> Open(const std::string& path, std::string* error);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  std::mutex& lock() { return mutex_; }
  sqlite3* handle() { return db_; }

  // Runs statements without results; true on success.
  bool Exec(std::string_view sql);
  std::string LastError() const;

  std::optional<std::string> GetMeta(const std::string& key);
  bool SetMeta(const std::string& key, const std::string& value);

 private:
  explicit Database(sqlite3* db) : db_(db) {}

  sqlite3* db_ = nullptr;
  std::mutex mutex_;
};

// BEGIN IMMEDIATE on construction, ROLLBACK on destruction unless Commit() succeeded.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool ok() const { return open_; }
  bool Commit();

 private:
  Database& db_;
  bool open_ = false;
};

}  // namespace quillo::stub
