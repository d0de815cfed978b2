#pragma once
// The download manager's entries in start order. Addresses stay valid until an entry is taken
// out, so the download window may keep a pointer from FindByTransfer for one redraw.
//
// Window thread only.
#include <cstddef>
#include <list>
#include <optional>
#include <string_view>
#include <vector>

#include "downloads/DownloadEntry.h"

namespace quillo::downloads {

class DownloadEntries {
 public:
  DownloadEntry& Add(DownloadEntry entry);
  DownloadEntry* FindByTransfer(std::string_view transfer_id);
  const DownloadEntry* FindByTransfer(std::string_view transfer_id) const;
  bool IsRunning(DownloadKind kind, std::string_view item_id) const;
  std::size_t CountOf(DownloadKind kind) const;

  // Removes and answers the entry of the transfer, if there is one.
  std::optional<DownloadEntry> TakeByTransfer(std::string_view transfer_id);
  // Removes and answers every entry of that kind and item.
  std::vector<DownloadEntry> TakeAll(DownloadKind kind, std::string_view item_id);
  // Removes and answers every entry.
  std::vector<DownloadEntry> TakeEverything();

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const std::list<DownloadEntry>& entries() const { return entries_; }

 private:
  std::list<DownloadEntry> entries_;
};

}  // namespace quillo::downloads
