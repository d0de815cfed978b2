#include "downloads/DownloadEntries.h"

#include <algorithm>
#include <utility>

namespace quillo::downloads {

DownloadEntry& DownloadEntries::Add(DownloadEntry entry) {
  entries_.push_back(std::move(entry));
  return entries_.back();
}

DownloadEntry* DownloadEntries::FindByTransfer(std::string_view transfer_id) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const DownloadEntry& entry) {
    return entry.transfer_id == transfer_id;
  });
  return it == entries_.end() ? nullptr : &*it;
}

const DownloadEntry* DownloadEntries::FindByTransfer(std::string_view transfer_id) const {
  return const_cast<DownloadEntries*>(this)->FindByTransfer(transfer_id);
}

bool DownloadEntries::IsRunning(DownloadKind kind, std::string_view item_id) const {
  return std::any_of(entries_.begin(), entries_.end(), [&](const DownloadEntry& entry) {
    return entry.kind == kind && entry.item_id == item_id;
  });
}

std::size_t DownloadEntries::CountOf(DownloadKind kind) const {
  return static_cast<std::size_t>(
      std::count_if(entries_.begin(), entries_.end(),
                    [&](const DownloadEntry& entry) { return entry.kind == kind; }));
}

std::optional<DownloadEntry> DownloadEntries::TakeByTransfer(std::string_view transfer_id) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const DownloadEntry& entry) {
    return entry.transfer_id == transfer_id;
  });
  if (it == entries_.end()) return std::nullopt;
  DownloadEntry entry = std::move(*it);
  entries_.erase(it);
  return entry;
}

std::vector<DownloadEntry> DownloadEntries::TakeAll(DownloadKind kind, std::string_view item_id) {
  std::vector<DownloadEntry> taken;
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->kind == kind && it->item_id == item_id) {
      taken.push_back(std::move(*it));
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  return taken;
}

std::vector<DownloadEntry> DownloadEntries::TakeEverything() {
  std::vector<DownloadEntry> taken(std::make_move_iterator(entries_.begin()),
                                   std::make_move_iterator(entries_.end()));
  entries_.clear();
  return taken;
}

}  // namespace quillo::downloads
