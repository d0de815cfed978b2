#pragma once
// The mirror requests that have not reached the service yet, kept in the data file (element
// "outbox" under the root) in the order they were made, so that edits made while the service
// was unreachable survive a restart or a crash and go out before the next login is merged.
//
// Each entry is one service call (a path relative to the service base URL and its form
// parameters), the user it was made for and how often it was sent without an answer. Older
// programs ignore the element.
//
// Threads: every operation takes the store's lock; the entries are saved with the rest of the
// document (atomically, by the store's saver), so the outbox and the local change it mirrors
// reach the disk together.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillo::store {

class DocumentStore;

class MirrorOutbox {
 public:
  struct Entry {
    std::uint64_t id = 0;  // increasing in the order the entries were added
    std::string user_id;
    std::string path;
    std::vector<std::pair<std::string, std::string>> params;
    int tries = 0;  // sends that got no usable answer
    bool operator==(const Entry&) const = default;
  };

  // The store must outlive the outbox and be open before any call.
  explicit MirrorOutbox(DocumentStore& store) : store_(store) {}

  // Appends the call; answers its id (0 when the document has no root).
  std::uint64_t Add(const std::string& user_id, const std::string& path,
                    const std::vector<std::pair<std::string, std::string>>& params);
  // Every entry, oldest first.
  std::vector<Entry> Entries() const;
  // The oldest entry of the user, or no value.
  std::optional<Entry> FirstOf(const std::string& user_id) const;
  // Answers whether an entry was removed.
  bool Remove(std::uint64_t id);
  // Counts one more send without a usable answer; answers the new count (0: no such entry).
  int CountTry(std::uint64_t id);
  bool empty() const;
  std::size_t size() const;

 private:
  DocumentStore& store_;
};

}  // namespace quillo::store
