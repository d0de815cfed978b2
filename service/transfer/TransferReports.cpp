#include "service/transfer/TransferReports.h"

#include <mutex>

#include "platform/fs/FileSystem.h"
#include "service/transfer/SafeDownloaderCallback.h"
#include "service/transfer/TransferBatch.h"

namespace quillo::service {

void TransferReports::Start(TransferRecord& record, const TransferRecord::View& view) {
  if (record.cancelled()) return;
  record.Apply(view);
  if (record.callback_ != nullptr) record.callback_->OnStart(record);
}

void TransferReports::Data(TransferRecord& record, const TransferBatch& batch) {
  std::uint64_t received = batch.received_before();
  std::size_t offset = 0;
  for (const std::size_t size : batch.chunk_sizes()) {
    // A callback may cancel the transfer (and release itself) in the middle of a batch.
    if (record.cancelled() || record.callback_ == nullptr) return;
    received += size;
    record.status_ = TransferStatus::kReceiving;
    record.total_size_ = batch.total_size();
    record.received_size_ = received;
    record.chunk_ = batch.Chunk(offset, size);
    record.callback_->OnData(record);
    record.chunk_ = {};
    offset += size;
  }
}

void TransferReports::Discard(TransferRecord& record, const TransferRecord::View& view) {
  if (record.cancelled()) return;
  record.Apply(view);
}

void TransferReports::Finish(TransferRecord& record, const TransferRecord::View& view) {
  if (record.cancelled()) return;
  record.Apply(view);
  if (view.status == TransferStatus::kFinished) {
    std::lock_guard lock(record.mutex_);
    record.opened_path_.clear();
  }
  Leave(record);
  if (record.callback_ != nullptr) record.callback_->OnFinish(record);
}

void TransferReports::Cancel(TransferRecord& record) {
  {
    std::lock_guard lock(record.mutex_);
    record.cancelled_ = true;
    if (!record.opened_path_.empty()) fs::RemoveFile(record.opened_path_);
    record.opened_path_.clear();
  }
  record.signal_.notify_all();
  record.abort_->store(true);
  Leave(record);
}

void TransferReports::Leave(TransferRecord& record) {
  auto entry = table_.find(record.id_);
  if (entry != table_.end() && entry->second.get() == &record) table_.erase(entry);
}

}  // namespace quillo::service
