#pragma once
// Fetches the service's random and ranking lists into the store's temporary lists. One fetch
// per list id at a time: a new fetch of the same list cancels the pending one first. The answer
// is collected, unscrambled and parsed into the temporary list; an answer that fails, is empty,
// cannot be unscrambled or does not parse leaves the list as it was.
//
// Window thread. It is the safe downloader callback of its transfers: the destructor cancels
// those still running, so no callback reaches a destroyed fetcher.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::store {
class Playlists;
}
namespace quillo::service {
class AnswerCollector;
class SafeDownloader;
}  // namespace quillo::service

namespace quillo::ui::lists {

class TempPlaylistCallback : public service::SafeDownloaderCallback {
 public:
  // Told once per fetch that ended (not for cancelled ones): the list id and whether the list
  // was replaced.
  using Finished = std::function<void(const std::string& list_id, bool ok)>;

  // Both must outlive this object.
  TempPlaylistCallback(service::SafeDownloader& downloader, store::Playlists& playlists,
                       Finished finished);
  ~TempPlaylistCallback() override;
  TempPlaylistCallback(const TempPlaylistCallback&) = delete;
  TempPlaylistCallback& operator=(const TempPlaylistCallback&) = delete;

  // Starts fetching `url` into the list; false when the downloader started nothing (then
  // `finished` is told of the failure at once).
  bool Fetch(const std::string& list_id, const std::string& url);
  bool IsPending(const std::string& list_id) const;
  std::size_t pending() const { return by_list_.size(); }
  // Cancels every fetch still running (no `finished` for them).
  void CancelAll();

  void OnStart(service::TransferRecord& record) override;
  void OnData(service::TransferRecord& record) override;
  void OnFinish(service::TransferRecord& record) override;

 private:
  struct Pending;
  Pending* FindByTransfer(const std::string& transfer_id);

  service::SafeDownloader& downloader_;
  store::Playlists& playlists_;
  Finished finished_;
  std::map<std::string, std::unique_ptr<Pending>> by_list_;
};

}  // namespace quillo::ui::lists
