#include "service/transfer/TransferBatch.h"

#include <mutex>
#include <utility>

#include "service/transfer/TransferRecord.h"

namespace quillo::service {
namespace {

// A worker keeps at most this many spare batch buffers.
constexpr std::size_t kMaxSpareBuffers = 4;

}  // namespace

TransferBatch::TransferBatch(std::shared_ptr<TransferRecord> record, std::vector<char> bytes,
                             bool pooled, std::vector<std::size_t> chunk_sizes,
                             std::uint64_t received_before, std::uint64_t total_size)
    : record_(std::move(record)),
      bytes_(std::move(bytes)),
      pooled_(pooled),
      chunk_sizes_(std::move(chunk_sizes)),
      received_before_(received_before),
      total_size_(total_size) {}

TransferBatch::~TransferBatch() {
  {
    std::lock_guard lock(record_->mutex_);
    record_->reported_bytes_ -= Count(bytes_);
    if (pooled_ && record_->spare_buffers_.size() < kMaxSpareBuffers)
      record_->spare_buffers_.push_back(std::move(bytes_));
  }
  record_->signal_.notify_all();
}

}  // namespace quillo::service
