#include "service/transfer/TransferSteps.h"

#include "platform/fs/FileSystem.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::service {
void TransferSteps::Open(TransferRecord& record, const std::string& target_path) {
  record.target_path_ = target_path;
  if (record.file_ == nullptr && record.callback_ != nullptr) record.callback_->OnStart(record);
  if (record.cancelled() || record.target_path_.empty() || record.file_ != nullptr) return;
  record.file_.reset(std::fopen(record.target_path_.c_str(), "wb"));
  if (record.file_ == nullptr) return;
  record.opened_path_ = record.target_path_;
  // Each chunk goes straight to the file: a stdio buffer would copy every byte once more on the
  // window thread (the chunks already arrive in batches), and the stream player reads the file
  // while it grows.
  std::setvbuf(record.file_.get(), nullptr, _IONBF, 0);
}

std::size_t TransferSteps::Write(TransferRecord& record, std::string_view chunk) {
  std::size_t taken = chunk.size();
  if (!record.is_request_) {
    taken = 0;
    while (record.file_ != nullptr && taken < chunk.size()) {
      const std::size_t written =
          std::fwrite(chunk.data() + taken, 1, chunk.size() - taken, record.file_.get());
      if (written == 0) break;
      taken += written;
    }
  }
  record.chunk_ = chunk.substr(0, taken);
  record.received_size_ += taken;
  if (!record.cancelled() && taken == chunk.size() && record.callback_ != nullptr) {
    record.callback_->OnData(record);
  }
  record.chunk_ = {};
  return taken;
}

void TransferSteps::Discard(TransferRecord& record, const std::string& next_url) {
  CloseAndDelete(record);
  record.url_ = next_url;
  record.received_size_ = 0;
}

void TransferSteps::Finish(TransferRecord& record) {
  if (record.status() == TransferStatus::kFinished && record.file_ != nullptr) {
    // Buffered bytes reach the disk only now; a failure here means the file is incomplete.
    if (std::fclose(record.file_.release()) != 0) record.status_ = TransferStatus::kFailed;
  }
  if (record.status() == TransferStatus::kFinished) {
    record.opened_path_.clear();  // the file is the caller's now: nothing may delete it later
  } else {
    CloseAndDelete(record);
  }
  auto entry = table_.find(record.id_);
  if (entry != table_.end() && entry->second.get() == &record) table_.erase(entry);
  if (!record.cancelled() && record.callback_ != nullptr) record.callback_->OnFinish(record);
}

void TransferSteps::Cancel(TransferRecord& record) {
  {
    std::lock_guard lock(record.hand_over_mutex_);
    record.cancelled_ = true;
  }
  record.hand_over_signal_.notify_all();
  record.abort_->store(true);
  CloseAndDelete(record);
  auto entry = table_.find(record.id_);
  if (entry != table_.end() && entry->second.get() == &record) table_.erase(entry);
}

void TransferSteps::CloseAndDelete(TransferRecord& record) {
  record.file_.reset();
  if (!record.opened_path_.empty()) fs::RemoveFile(record.opened_path_);
  record.opened_path_.clear();
}

}  // namespace quillo::service
