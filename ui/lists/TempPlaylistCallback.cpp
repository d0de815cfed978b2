#include "ui/lists/TempPlaylistCallback.h"

#include "service/api/AnswerCollector.h"
#include "service/transfer/SafeDownloader.h"
#include "service/transfer/TransferRecord.h"
#include "store/Playlists.h"

namespace quillo::ui::lists {

struct TempPlaylistCallback::Pending {
  std::string transfer_id;
  std::unique_ptr<service::AnswerCollector> collector;
};

TempPlaylistCallback::TempPlaylistCallback(service::SafeDownloader& downloader,
                                           store::Playlists& playlists, Finished finished)
    : downloader_(downloader), playlists_(playlists), finished_(std::move(finished)) {}

TempPlaylistCallback::~TempPlaylistCallback() {
  CancelAll();
}

bool TempPlaylistCallback::Fetch(const std::string& list_id, const std::string& url) {
  if (auto it = by_list_.find(list_id); it != by_list_.end()) {
    std::string transfer_id = it->second->transfer_id;
    by_list_.erase(it);
    downloader_.Cancel(transfer_id);
  }
  auto pending = std::make_unique<Pending>();
  // The collector unscrambles the answer and hands on nothing for a failed, empty, oversized or
  // unreadable one.
  pending->collector = std::make_unique<service::AnswerCollector>(
      service::AnswerCollector::Form::kScrambled, [this, list_id](std::optional<std::string> text) {
        bool ok = text && playlists_.SetTemporaryList(list_id, *text);
        if (finished_) finished_(list_id, ok);
      });
  Pending* raw = pending.get();
  by_list_[list_id] = std::move(pending);
  std::string transfer_id =
      url.empty() ? std::string() : downloader_.Request(url, std::nullopt, this);
  if (transfer_id.empty()) {
    by_list_.erase(list_id);
    if (finished_) finished_(list_id, false);
    return false;
  }
  raw->transfer_id = transfer_id;
  return true;
}

bool TempPlaylistCallback::IsPending(const std::string& list_id) const {
  return by_list_.count(list_id) != 0;
}

void TempPlaylistCallback::CancelAll() {
  std::map<std::string, std::unique_ptr<Pending>> pending = std::move(by_list_);
  by_list_.clear();
  for (auto& [list_id, p] : pending) {
    if (!p->transfer_id.empty()) downloader_.Cancel(p->transfer_id);
  }
}

TempPlaylistCallback::Pending* TempPlaylistCallback::FindByTransfer(
    const std::string& transfer_id) {
  for (auto& [list_id, p] : by_list_) {
    if (p->transfer_id == transfer_id) return p.get();
  }
  return nullptr;
}

void TempPlaylistCallback::OnStart(service::TransferRecord& record) {
  if (Pending* p = FindByTransfer(record.id())) p->collector->Begin();
}

void TempPlaylistCallback::OnData(service::TransferRecord& record) {
  if (Pending* p = FindByTransfer(record.id())) p->collector->Append(record.chunk());
}

void TempPlaylistCallback::OnFinish(service::TransferRecord& record) {
  for (auto it = by_list_.begin(); it != by_list_.end(); ++it) {
    if (it->second->transfer_id != record.id()) continue;
    // Out of the table first: the handler may start the next fetch of the same list.
    std::unique_ptr<Pending> done = std::move(it->second);
    by_list_.erase(it);
    done->collector->Finish(record.status());
    return;
  }
}

}  // namespace quillo::ui::lists
