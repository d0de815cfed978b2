#pragma once
// The target file of one download, opened, written, closed and deleted by the transfer's worker.
// Creating and deleting the file take the record's lock and look at its cancel flag, so that a
// Cancel on the window thread (which deletes the file this transfer created) and the worker
// never disagree about whether the file exists: no file appears after Cancel returned, and only
// a file the transfer created is ever deleted. Writes go on without the lock; after a Cancel they
// land in the deleted file until the worker notices the flag.
//
// Worker thread only.
#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace quillo::service {

class TransferRecord;

class TransferFile {
 public:
  // The record outlives this object.
  explicit TransferFile(TransferRecord& record) : record_(record) {}
  // Closes an open file; deletes nothing.
  ~TransferFile() = default;
  TransferFile(const TransferFile&) = delete;
  TransferFile& operator=(const TransferFile&) = delete;

  bool is_open() const { return file_ != nullptr; }

  // Creates `path` for writing from the start (truncated, binary, unbuffered: each write reaches
  // the file at once, where the player may read it while it grows). False when the transfer was
  // cancelled (nothing is created) or the file cannot be created.
  bool Open(const std::string& path);
  // Writes as much of `bytes` as the file takes; answers how many bytes that was.
  std::size_t Write(std::string_view bytes);
  // Closes the file, which stays the transfer's until its finish report hands it to the caller
  // (a Cancel before that still deletes it). False when the close failed (the file is then
  // incomplete). Nothing open: true.
  bool Close();
  // Closes and deletes the file this transfer created, unless Cancel already deleted it.
  void Delete();

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  TransferRecord& record_;
  std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace quillo::service
